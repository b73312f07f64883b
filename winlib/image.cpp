#include "winlib/image.h"

#include "winlib/exception.h"

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
  picture_.Draw(dc, 0, 0);
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
