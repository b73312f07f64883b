// Windows' high-contrast setting. With it on, the windows draw in the system's colours, their
// picture buttons as plain buttons with their names, and leave out the pictures that only
// decorate, so that every text and control stays readable; with it off, the skin is back.
#pragma once

// Read when a window paints, so that a change of the setting shows at the next paint. The
// application may stand in for the system (TApplication::SetHighContrast, for tests).
bool HighContrastOn();
