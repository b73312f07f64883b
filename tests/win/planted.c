/* A DLL beside the test programs, standing for one planted beside the user's files: a
   system library must never be taken from there. */
__declspec(dllexport) int ZembraPlanted(void) {
  return 1;
}
