// Stands for a started program (the browser, "mailto.exe", ...): appends its command line to
// the file named like itself with ".log" added, and ends.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string log = std::string(path) + ".log";
  if (std::FILE* f = std::fopen(log.c_str(), "ab")) {
    std::fprintf(f, "%s\n", GetCommandLineA());
    std::fclose(f);
  }
  return 0;
}
