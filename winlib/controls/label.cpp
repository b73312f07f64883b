#include "winlib/controls/label.h"

#include "winlib/controls/win_control.h"
#include "winlib/graphics/high_contrast.h"
#include "winlib/system/exception.h"
#include "winlib/system/scoped.h"

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

std::string TLabel::LabelFor(const TControl& control) const {
  return !focusControl_.empty() && focusControl_ == control.Name() ? caption_ : std::string();
}

void TLabel::Paint(HDC dc) {
  RECT r = {0, 0, Width(), Height()};
  // In high contrast, the system's colours: a link's own, every other text the window's.
  const bool highContrast = HighContrastOn();
  if (!transparent_ && Parent() != nullptr) {
    const TColor back = highContrast ? clWindow : Parent()->Color();
    GdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(back)));
    FillRect(dc, &r, brush.Get());
  }
  COLORREF text = ColorToRGB(Font().Color());
  if (highContrast) text = GetSysColor(OnClick ? COLOR_HOTLIGHT : COLOR_WINDOWTEXT);
  if (!Enabled()) text = GetSysColor(COLOR_GRAYTEXT);
  SelectObjectScope font(dc, Font().Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, text);
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
  } else if (name == "FocusControl") {
    focusControl_ = value;
  } else {
    return TGraphicControl::SetProperty(name, value);
  }
  return true;
}
