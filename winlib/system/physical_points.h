// Points between this program's logical coordinates and the screen's physical ones. The program
// has no manifest and so is not aware of the screen's resolution: on a display scaled above
// 100% Windows scales its windows (per monitor from 8.1 on; on Vista to 8 at 150% and up) and
// tells it logical coordinates, while Active Accessibility and screen readers use physical
// ones. XP scales nothing and has neither conversion.
#pragma once

#include <windows.h>

#include <optional>

#include "winlib/system/scoped.h"

// A conversion of a point in screen coordinates, as the window's scaling gives it: true when
// the point was converted.
using PointConversionFunction = BOOL(WINAPI*)(HWND window, POINT* point);

struct PointConversions {
  PointConversionFunction toPhysical = nullptr;
  PointConversionFunction toLogical = nullptr;
};

// The system's: the per-monitor pair of 8.1 and later, else the pair of Vista to 8, else none
// (XP); looked up in user32 at the first call.
PointConversions SystemPointConversions();

// Converts a point of the screen for a window; a point that cannot be converted (XP, or outside
// the window's scaling) is left as it is.
POINT LogicalToPhysical(HWND window, POINT point);
POINT PhysicalToLogical(HWND window, POINT point);

// Stands in for the system's conversions while it exists (for tests).
class PointConversionsOverride : ScopedAssignment<std::optional<PointConversions>> {
 public:
  explicit PointConversionsOverride(PointConversions conversions);
};
