#include "winlib/system/tooltip.h"

#include <commctrl.h>

#include "winlib/system/system_library.h"

UINT ToolInfoSize() {
  return TTTOOLINFOA_V2_SIZE;
}

bool TooltipClassReady() {
  using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  // Kept for the run: the tooltip windows run comctl32's code.
  static const SystemLibrary library("comctl32.dll");
  static const bool ready = [] {
    // InitCommonControlsEx is there from comctl32 4.70 on; ICC_BAR_CLASSES holds tooltips.
    const auto init = library.Get<InitFunction>("InitCommonControlsEx");
    if (init == nullptr) return false;
    const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    return init(&controls) != FALSE;
  }();
  return ready;
}

bool SetTooltipTool(HWND tooltip, HWND owner, UINT_PTR id, const RECT& rect,
                    const std::string& text) {
  RemoveTooltipTool(tooltip, owner, id);
  TOOLINFOA tool = {};
  tool.cbSize = ToolInfoSize();
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = owner;
  tool.uId = id;
  tool.rect = rect;
  std::string copy = text;  // the control copies the text; the field is not const
  tool.lpszText = copy.data();
  return SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

void RemoveTooltipTool(HWND tooltip, HWND owner, UINT_PTR id) {
  TOOLINFOA tool = {};
  tool.cbSize = ToolInfoSize();
  tool.hwnd = owner;
  tool.uId = id;
  SendMessageA(tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}
