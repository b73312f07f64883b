#include "tests/win/comctl5_tooltips.h"

#include <commctrl.h>

WNDPROC Comctl5Tooltips::comctl32Proc_ = nullptr;
int Comctl5Tooltips::offered_ = 0;
int Comctl5Tooltips::refused_ = 0;

Comctl5Tooltips::Comctl5Tooltips() {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExA(GetModuleHandleA(nullptr), TOOLTIPS_CLASSA, &wc)) return;
  comctl32Proc_ = wc.lpfnWndProc;
  offered_ = refused_ = 0;
  // Everything of comctl32's class (its window bytes above all), but this program's own.
  wc.style &= ~CS_GLOBALCLASS;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpfnWndProc = &Comctl5Tooltips::WindowProc;
  registered_ = RegisterClassExA(&wc) != 0;
}

Comctl5Tooltips::~Comctl5Tooltips() {
  if (registered_) UnregisterClassA(TOOLTIPS_CLASSA, GetModuleHandleA(nullptr));
}

LRESULT CALLBACK Comctl5Tooltips::WindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == TTM_ADDTOOLA || message == TTM_ADDTOOLW) {
    ++offered_;
    // The version-2 structures of both character sets have the same size.
    const auto* tool = reinterpret_cast<const TOOLINFOA*>(lParam);
    if (tool == nullptr || tool->cbSize < TTTOOLINFOA_V1_SIZE ||
        tool->cbSize > TTTOOLINFOA_V2_SIZE) {
      ++refused_;
      return FALSE;
    }
  }
  return CallWindowProcA(comctl32Proc_, window, message, wParam, lParam);
}
