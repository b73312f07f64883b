// The tooltips of hints: comctl32's tooltip control, with comctl32 loaded from the system
// folder at the first tooltip rather than imported.
#pragma once

#include <windows.h>

#include <string>

// The TOOLINFOA size that every comctl32 takes. A program without a manifest gets version
// 5, which refuses the larger structure of version 6 (up to lpReserved) that
// sizeof(TOOLINFOA) gives; the fields up to lParam are all we use.
UINT ToolInfoSize();

// Loads comctl32 once per run and registers its tooltip class; false when either fails.
bool TooltipClassReady();

// Registers (or replaces) the tool of a rectangle of the owner's client area; false when the
// tooltip control refused it.
bool SetTooltipTool(HWND tooltip, HWND owner, UINT_PTR id, const RECT& rect,
                    const std::string& text);
void RemoveTooltipTool(HWND tooltip, HWND owner, UINT_PTR id);
