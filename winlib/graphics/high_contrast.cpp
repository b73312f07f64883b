#include "winlib/graphics/high_contrast.h"

#include <windows.h>

namespace {
// The override in force, if any: one user-interface thread.
std::optional<bool> overridden;
}  // namespace

bool HighContrastOn() {
  if (overridden.has_value()) return *overridden;
  HIGHCONTRASTA setting = {};
  setting.cbSize = sizeof setting;
  return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) &&
         (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

HighContrastOverride::HighContrastOverride(bool on) : ScopedAssignment(overridden, on) {}
