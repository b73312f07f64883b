#include "winlib/controls/image.h"

#include "winlib/graphics/high_contrast.h"
#include "winlib/system/exception.h"
#include "winlib/system/scoped.h"

const unsigned char* TImage::ClassName() const {
  static const unsigned char name[] = "\x06TImage";
  return name;
}

void TImage::PictureChanged() {
  SetBounds(Left(), Top(), Width(), Height());
  Invalidate();
}

void TImage::SetBounds(int left, int top, int width, int height) {
  // With AutoSize the picture decides the size, wherever the control is placed.
  if (autoSize_ && !picture_.Empty() && Align() != alClient) {
    width = picture_.Width();
    height = picture_.Height();
  }
  TGraphicControl::SetBounds(left, top, width, height);
}

void TImage::LoadFromFile(const std::string& path) {
  picture_.LoadFromFile(path);
  PictureChanged();
}

void TImage::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  PictureChanged();
}

void TImage::Paint(HDC dc) {
  if (!HighContrastOn()) {
    picture_.Draw(dc, 0, 0);
    return;
  }
  // In high contrast a button is a plain button with its name, and a picture that only
  // decorates is left out. A button too small for its name (the close picture) keeps its
  // picture, which says what it does.
  if (AccessibleRole() != arButton) return;
  RECT r = {0, 0, Width(), Height()};
  SelectObjectScope font(dc, GetStockObject(DEFAULT_GUI_FONT));
  RECT needed = {0, 0, 0, 0};
  DrawTextA(dc, Hint().c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  if (needed.right + 4 > Width() || needed.bottom + 2 > Height()) {
    picture_.Draw(dc, 0, 0);
    return;
  }
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (Enabled() ? 0 : DFCS_INACTIVE));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(Enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  DrawTextA(dc, Hint().c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

bool TImage::SetProperty(const std::string& name, const std::string& value) {
  if (name == "Picture") {
    picture_.LoadFromResourceName(value);
    PictureChanged();
  } else if (name == "AutoSize") {
    SetAutoSize(BoolFromText(name, value));
  } else if (name == "Stretch") {
    // Pictures are always drawn at their own size.
    if (BoolFromText(name, value)) throw ELayoutError(Name() + ": stretching is not supported");
  } else {
    return TGraphicControl::SetProperty(name, value);
  }
  return true;
}
