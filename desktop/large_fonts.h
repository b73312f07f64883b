// Shrinking a window's controls and fonts on a desktop that uses large system fonts.
#pragma once

class TWinControl;

// True when the desktop's system font is higher than 16 pixels.
bool IsLargeFontDesktop();
// The desktop's system font height over 16; 1.0 without a device context.
double DesktopFontScale();

// On a large-font desktop whose screen has more than 96 pixels per inch (so that the layouts
// were scaled up), divides the bounds of the container (when includeSelf) and of all
// its controls, and the font sizes of labels and lists, by the desktop's divisor.
void AdjustForLargeFonts(TWinControl* container, bool includeSelf);
// The same for a desktop of that system font height and resolution.
void AdjustForLargeFontsOn(TWinControl* container, bool includeSelf, int systemFontHeight,
                           int pixelsPerInch);
// The same with a given divisor, whatever the desktop.
void AdjustForLargeFontsBy(TWinControl* container, bool includeSelf, double divisor);
