// The arithmetic of shrinking a window on a large-font desktop, apart from Windows.
#pragma once

// The desktop counts as using large fonts when its system font is higher than this.
inline constexpr int kNormalSystemFontHeight = 16;

inline bool IsLargeFontHeight(int systemFontHeight) {
  return systemFontHeight > kNormalSystemFontHeight;
}

// The resolution the layouts are stored for.
inline constexpr int kDesignPixelsPerInch = 96;

// Whether a window is shrunk for large fonts. The shrink undoes part of the scaling up that a
// screen of more than 96 pixels per inch gave the layout; where the system reports 96 (Windows
// 8.1 and later stretch a program that is not DPI-aware, whatever the real resolution), the
// layout was not scaled up, and shrinking would cut the window.
inline bool ShrinksForLargeFonts(int systemFontHeight, int screenPixelsPerInch) {
  return screenPixelsPerInch > kDesignPixelsPerInch && IsLargeFontHeight(systemFontHeight);
}

// The desktop's font scale: the system font height over 16.
inline double FontScaleForHeight(int systemFontHeight) {
  return systemFontHeight * 0.0625;
}

// What coordinates and font sizes are divided by.
inline double LargeFontDivisor(double scale) {
  return scale * 0.984;
}

// A coordinate or size after the adjustment, truncated toward zero.
inline int ShrinkValue(int value, double divisor) {
  return static_cast<int>(value / divisor);
}

// A font size in points after the adjustment; a size that would not change loses one point.
inline int ShrinkFontSize(int size, double divisor) {
  const int shrunk = ShrinkValue(size, divisor);
  return shrunk == size ? size - 1 : shrunk;
}
