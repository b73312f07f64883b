// Windows' high-contrast setting. With it on, the windows draw in the system's colours, their
// picture buttons as plain buttons with their names, and leave out the pictures that only
// decorate, so that every text and control stays readable; with it off, the skin is back.
#pragma once

#include <optional>

#include "winlib/system/scoped.h"

// Read when a window paints, so that a change of the setting shows at the next paint.
bool HighContrastOn();

// Stands in for the system's setting while it exists (for tests); the one before comes back
// when it goes.
class HighContrastOverride : ScopedAssignment<std::optional<bool>> {
 public:
  explicit HighContrastOverride(bool on);
};
