#include "winlib/image.h"

#include "winlib/exception.h"

const unsigned char* TImage::ClassName() const {
  static const unsigned char name[] = "\x06TImage";
  return name;
}

void TImage::PictureChanged() {
  if (autoSize_ && !picture_.Empty() && Align() != alClient) {
    SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
  }
  Invalidate();
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
