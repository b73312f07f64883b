#include "winlib/controls/control.h"

#include <cstdlib>

#include "winlib/controls/win_control.h"
#include "winlib/system/exception.h"

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
  if (parent_ != nullptr) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent_ != nullptr) {
    Invalidate();
    parent_->RemoveControl(this);
  }
  parent_ = parent;
  if (parent_ != nullptr) {
    parent_->InsertControl(this);
    if (parentFont_) font_.Assign(parent_->Font());
    if (align_ == alClient) SetBounds(left_, top_, width_, height_);
    Invalidate();
  }
}

void TControl::SetBounds(int left, int top, int width, int height) {
  // A control aligned to its parent's client area keeps it whatever it is asked.
  if (align_ == alClient && parent_ != nullptr) {
    left = 0;
    top = 0;
    width = parent_->ClientWidth();
    height = parent_->ClientHeight();
  }
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  Invalidate();
  StoreBounds(left, top, width, height);
  BoundsChanged();
  Invalidate();
  if (parent_ != nullptr) parent_->ChildChanged(this);
}

void TControl::SetAlign(TAlign align) {
  align_ = align;
  if (align_ == alClient) SetBounds(left_, top_, width_, height_);
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (IsGraphic() && parent_ != nullptr) parent_->InvalidateRect(BoundsRect());
}

void TControl::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Invalidate();
}

void TControl::SetHint(const std::string& hint) {
  hint_ = hint;
  if (parent_ != nullptr) parent_->ChildChanged(this);
}

void TControl::SetShowHint(bool showHint) {
  showHint_ = showHint;
  if (parent_ != nullptr) parent_->ChildChanged(this);
}

bool TControl::CanFocus() const {
  return visible_ && enabled_ && parent_ != nullptr && parent_->CanFocus();
}

bool TControl::Focused() const {
  return parent_ != nullptr && parent_->FocusedWindowless() == this && parent_->Focused();
}

void TControl::SetFocus() {
  if (parent_ != nullptr) parent_->FocusWindowless(this);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::Invalidate() {
  if (IsGraphic() && visible_ && parent_ != nullptr) parent_->InvalidateRect(BoundsRect());
}

bool TControl::SetProperty(const std::string& name, const std::string& value) {
  if (name == "Left") {
    SetLeft(IntFromText(name, value));
  } else if (name == "Top") {
    SetTop(IntFromText(name, value));
  } else if (name == "Width") {
    SetWidth(IntFromText(name, value));
  } else if (name == "Height") {
    SetHeight(IntFromText(name, value));
  } else if (name == "Align") {
    if (value != "alClient" && value != "alNone") throw ELayoutError("Unknown Align " + value);
    SetAlign(value == "alClient" ? alClient : alNone);
  } else if (name == "Visible") {
    SetVisible(BoolFromText(name, value));
  } else if (name == "Enabled") {
    SetEnabled(BoolFromText(name, value));
  } else if (name == "Cursor") {
    SetCursor(CursorFromText(value));
  } else if (name == "Hint") {
    SetHint(value);
  } else if (name == "ShowHint") {
    SetShowHint(BoolFromText(name, value));
  } else if (name == "ParentShowHint") {
    BoolFromText(name, value);  // hints show only where ShowHint is set
  } else if (name == "TabOrder") {
    SetTabOrder(IntFromText(name, value));
  } else if (name == "TabStop") {
    SetTabStop(BoolFromText(name, value));
  } else if (name == "HelpKeyword") {
    SetHelpKeyword(value);
  } else if (name == "ParentFont") {
    SetParentFont(BoolFromText(name, value));
  } else if (name == "Font.Name") {
    font_.SetName(value);
    FontChanged();
  } else if (name == "Font.Height") {
    font_.SetHeight(IntFromText(name, value));
    FontChanged();
  } else if (name == "Font.Color") {
    font_.SetColor(ColorFromText(value));
    FontChanged();
  } else if (name == "Font.Charset") {
    font_.SetCharset(CharsetFromText(value));
    FontChanged();
  } else if (name == "Font.Style") {
    font_.SetStyle(FontStylesFromText(value));
    FontChanged();
  } else {
    return false;
  }
  return true;
}

int IntFromText(const std::string& name, const std::string& text) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0') throw ELayoutError(name + ": not a number: " + text);
  return static_cast<int>(value);
}

bool BoolFromText(const std::string& name, const std::string& text) {
  if (text == "True" || text == "true") return true;
  if (text == "False" || text == "false") return false;
  throw ELayoutError(name + ": not True or False: " + text);
}

TFontStyles FontStylesFromText(const std::string& text) {
  TFontStyles style = 0;
  if (text.find("fsBold") != std::string::npos) style |= fsBold;
  if (text.find("fsItalic") != std::string::npos) style |= fsItalic;
  if (text.find("fsUnderline") != std::string::npos) style |= fsUnderline;
  if (text.find("fsStrikeOut") != std::string::npos) style |= fsStrikeOut;
  return style;
}

int CharsetFromText(const std::string& text) {
  if (text == "DEFAULT_CHARSET") return DEFAULT_CHARSET;
  if (text == "ANSI_CHARSET") return ANSI_CHARSET;
  if (text == "GB2312_CHARSET") return GB2312_CHARSET;
  return IntFromText("Font.Charset", text);
}
