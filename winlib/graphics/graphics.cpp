#include "winlib/graphics/graphics.h"

#include <cstdlib>

#include "winlib/system/exception.h"

COLORREF ColorToRGB(TColor color) {
  if (color & clSystemColor) return GetSysColor(static_cast<int>(color & 0xFF));
  return static_cast<COLORREF>(color);
}

TColor ColorFromText(const std::string& text) {
  static const struct {
    const char* name;
    TColor color;
  } kColors[] = {{"clBlack", clBlack},
                 {"clWhite", clWhite},
                 {"clRed", clRed},
                 {"clBlue", clBlue},
                 {"clCream", clCream},
                 {"clBtnFace", clBtnFace},
                 {"clWindowText", clWindowText},
                 {"clWindow", clWindow}};
  for (const auto& entry : kColors) {
    if (text == entry.name) return entry.color;
  }
  char* end = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &end, 0);
  if (text.empty() || *end != '\0') throw ELayoutError("Unknown colour '" + text + "'");
  return static_cast<TColor>(value);
}

TCursor CursorFromText(const std::string& text) {
  if (text == "crDefault") return crDefault;
  if (text == "crArrow") return crArrow;
  if (text == "crHandPoint") return crHandPoint;
  throw ELayoutError("Unknown cursor '" + text + "'");
}

HCURSOR LoadCursorFor(TCursor cursor) {
  return LoadCursor(nullptr, cursor == crHandPoint ? IDC_HAND : IDC_ARROW);
}

int ScreenPixelsPerInch() {
  WindowDC screen(nullptr, false);
  if (screen.Get() == nullptr) return 96;
  return GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

int TFont::Size() const {
  return -MulDiv(height_, 72, ScreenPixelsPerInch());
}

void TFont::SetName(const std::string& name) {
  name_ = name;
  handle_.Reset();
}

void TFont::SetHeight(int height) {
  height_ = height;
  handle_.Reset();
}

void TFont::SetSize(int points) {
  SetHeight(-MulDiv(points, ScreenPixelsPerInch(), 72));
}

void TFont::SetCharset(int charset) {
  charset_ = charset;
  handle_.Reset();
}

void TFont::SetStyle(TFontStyles style) {
  style_ = style;
  handle_.Reset();
}

void TFont::Assign(const TFont& other) {
  name_ = other.name_;
  height_ = other.height_;
  color_ = other.color_;
  charset_ = other.charset_;
  style_ = other.style_;
  handle_.Reset();
}

HFONT TFont::Handle() const {
  if (!handle_) {
    handle_.Reset(CreateFontA(height_, 0, 0, 0, (style_ & fsBold) ? FW_BOLD : FW_NORMAL,
                              (style_ & fsItalic) != 0, (style_ & fsUnderline) != 0,
                              (style_ & fsStrikeOut) != 0, static_cast<BYTE>(charset_),
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_DONTCARE, name_.c_str()));
  }
  return handle_.Get();
}
