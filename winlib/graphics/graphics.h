// Colours, fonts and cursors of the controls.
#pragma once

#include <windows.h>

#include <string>

#include "winlib/system/scoped.h"

// A colour: an RGB value, or a system colour (clSystemColor | COLOR_ index).
using TColor = unsigned;
constexpr TColor clSystemColor = 0x80000000u;
constexpr TColor clBlack = 0x000000, clWhite = 0xFFFFFF, clRed = 0x0000FF, clBlue = 0xFF0000;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;

COLORREF ColorToRGB(TColor color);
// A colour by its stored name ("clRed") or number; throws ELayoutError for an unknown one.
TColor ColorFromText(const std::string& text);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

enum TCursor { crDefault = 0, crArrow = -2, crHandPoint = -21 };
TCursor CursorFromText(const std::string& text);
HCURSOR LoadCursorFor(TCursor cursor);

// The screen's pixels per inch (96 on a normal desktop, 120 with large fonts).
int ScreenPixelsPerInch();

// A font description and the GDI font made from it on demand.
class TFont {
 public:
  const std::string& Name() const { return name_; }
  int Height() const { return height_; }
  // Size in points, from the height in pixels at the screen's pixels per inch.
  int Size() const;
  TColor Color() const { return color_; }
  int Charset() const { return charset_; }
  TFontStyles Style() const { return style_; }

  void SetName(const std::string& name);
  void SetHeight(int height);
  void SetSize(int points);
  void SetColor(TColor color) { color_ = color; }
  void SetCharset(int charset);
  void SetStyle(TFontStyles style);
  void Assign(const TFont& other);

  // The GDI font; made again after a change.
  HFONT Handle() const;

 private:
  std::string name_ = "MS Sans Serif";
  int height_ = -11;
  TColor color_ = clWindowText;
  int charset_ = DEFAULT_CHARSET;
  TFontStyles style_ = 0;
  mutable GdiObject<HFONT> handle_;
};
