// The entry point of the import tool.
#include <windows.h>

#include "app/code_page.h"
#include "app/install_form.h"
#include "app/messages.h"
#include "winlib/application/application.h"
#include "winlib/system/guarded.h"
#include "winlib/system/startup_trace.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  StartupMark("WinMain");
  // Before any window: elsewhere every text would show as garbage and no book would be found.
  if (!SystemCodePageIsGbk()) {
    ExplainCodePage();
    return 0;
  }
  StartupMark("code page checked");
  TApplication application;
  StartupMark("application window made");
  // A failure while the window is built is shown, and the program ends without the window.
  Guarded([&application] {
    application.SetTitle(kApplicationTitle);
    application.CreateForm(InstallForm);
    StartupMark("import window built");
    application.Run();
  });
  return 0;
}
