#include "winlib/controls/panel.h"

#include "winlib/system/exception.h"

const unsigned char* TPanel::ClassName() const {
  static const unsigned char name[] = "\x06TPanel";
  return name;
}

void TPanel::SetParent(TWinControl* parent) {
  if (Handle() == nullptr && parent != nullptr && parent->Handle() != nullptr) {
    CreateHandle(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, parent->Handle());
  }
  TWinControl::SetParent(parent);
}

void TPanel::PaintWindow(HDC dc) {
  TWinControl::PaintWindow(dc);
  if (raised_) {
    RECT r = {0, 0, Width(), Height()};
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  }
}

bool TPanel::SetProperty(const std::string& name, const std::string& value) {
  if (name == "BevelOuter") {
    if (value != "bvNone" && value != "bvRaised") throw ELayoutError(Name() + ": " + value);
    raised_ = value == "bvRaised";
    Invalidate();
    return true;
  }
  if (name == "Caption") {
    if (!value.empty()) throw ELayoutError(Name() + ": panel captions are not supported");
    return true;
  }
  return TWinControl::SetProperty(name, value);
}
