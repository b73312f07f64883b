#include "winlib/label.h"

#include "winlib/exception.h"
#include "winlib/scoped.h"
#include "winlib/win_control.h"

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {}

const unsigned char* TLabel::ClassName() const {
  static const unsigned char name[] = "\x06TLabel";
  return name;
}

void TLabel::SetCaption(const std::string& caption) {
  caption_ = caption;
  AdjustSize();
  Invalidate();
}

UINT TLabel::DrawFlags() const {
  UINT flags = DT_NOPREFIX | (wordWrap_ ? DT_WORDBREAK : 0);
  if (alignment_ == taCenter) flags |= DT_CENTER;
  if (alignment_ == taRightJustify) flags |= DT_RIGHT;
  return flags;
}

void TLabel::AdjustSize() {
  if (!autoSize_) return;
  WindowDC screen(nullptr, false);
  SelectObjectScope font(screen.Get(), Font().Handle());
  RECT r = {0, 0, wordWrap_ ? Width() : 0, 0};
  DrawTextA(screen.Get(), caption_.c_str(), -1, &r, DrawFlags() | DT_CALCRECT);
  SetBounds(Left(), Top(), wordWrap_ ? Width() : r.right, r.bottom);
}

void TLabel::Paint(HDC dc) {
  RECT r = {0, 0, Width(), Height()};
  if (!transparent_ && Parent() != nullptr) {
    GdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(Parent()->Color())));
    FillRect(dc, &r, brush.Get());
  }
  SelectObjectScope font(dc, Font().Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, Enabled() ? ColorToRGB(Font().Color()) : GetSysColor(COLOR_GRAYTEXT));
  DrawTextA(dc, caption_.c_str(), -1, &r, DrawFlags());
}

bool TLabel::SetProperty(const std::string& name, const std::string& value) {
  if (name == "Caption") {
    SetCaption(value);
  } else if (name == "Alignment") {
    if (value == "taCenter") {
      alignment_ = taCenter;
    } else if (value == "taRightJustify") {
      alignment_ = taRightJustify;
    } else if (value == "taLeftJustify") {
      alignment_ = taLeftJustify;
    } else {
      throw ELayoutError(Name() + ": unknown alignment " + value);
    }
    Invalidate();
  } else if (name == "WordWrap") {
    wordWrap_ = BoolFromText(name, value);
    AdjustSize();
  } else if (name == "Transparent") {
    transparent_ = BoolFromText(name, value);
  } else if (name == "AutoSize") {
    autoSize_ = BoolFromText(name, value);
    AdjustSize();
  } else {
    return TGraphicControl::SetProperty(name, value);
  }
  return true;
}
