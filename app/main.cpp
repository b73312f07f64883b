// The entry point of the import tool.
#include <windows.h>

#include "app/install_form.h"
#include "app/messages.h"
#include "winlib/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  TApplication application;
  try {
    Application->Initialize();
    Application->SetTitle(kApplicationTitle);
    Application->CreateForm(InstallForm);
    Application->Run();
  } catch (const Exception& e) {
    // A failure while the window is built: shown, and the program ends without the window.
    Application->ShowException(e);
  } catch (...) {
    Application->ShowException(Exception(""));
  }
  return 0;
}
