// The program window: a top-level window of no size that stands for the program on the
// taskbar, captioned with the title, and owns the forms (which so have no buttons of their
// own). It takes what Windows does to the program as a whole:
//
//   made ──ShowAsStarted()──▶ on the taskbar ◀──────── restored, by any path ──────┐
//     │                        │  activated: the activation goes on to the main   │
//     │                        │    form, or to the box that the form waits for   │
//     │                        │  Close: the main form closes, or its box comes   │
//     │                        │    to the front                                  │
//     │                        └── Minimize(), or the system's minimise ──▶ minimised
//     └── ShowAsStarted() for a minimised start ─────────────────────────▶ minimised, the main
//                                                                          form shows when restored
//   In every state the end of the session ends the program as its exit button does; maximised,
//   the window keeps its zero size.
#pragma once

#include <windows.h>

#include <string>

#include "winlib/controls/win_control.h"

class TApplication;
class TForm;

class TProgramWindow : public TWinControl {
 public:
  // Throws Exception when the window cannot be made.
  explicit TProgramWindow(TApplication& application);

  void SetTitle(const std::string& title);
  // Puts the program on the taskbar as it was started: minimised for a shortcut's "Run:
  // Minimised", else shown without taking the activation. True when the main form is to show
  // now, false when it waits for the restore.
  bool ShowAsStarted();
  // Minimises the program, its forms with it.
  void Minimize();

  // The box that a form waits for: an enabled, visible top-level window of this thread that the
  // form owns (a message box), or none.
  static HWND OpenBoxOf(HWND form);

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // The main form, while it has its window.
  TForm* MainForm() const;
  void CloseFromTaskbar();
  void Restored();
  void PostHandOn();
  // Gives the activation that this window took to the main form, or to the box it waits for.
  void HandOnActivation();
  void EndSession();
  // The taskbar button: flashed, or back to rest.
  void Flash(DWORD flags);
  void StopFlashing();

  TApplication& application_;
  bool mainFormWaits_ = false;  // started minimised: the main form shows at the first restore
  bool flashing_ = false;       // the taskbar button flashes until the user comes
};
