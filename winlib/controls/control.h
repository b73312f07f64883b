// Controls: components with a place in a parent, a font, a cursor, a hint and pointer events.
#pragma once

#include <windows.h>

#include <string>

#include "winlib/controls/component.h"
#include "winlib/graphics/graphics.h"

class TWinControl;

enum TAlign { alNone, alClient };

// What a control is to a screen reader; none for what only decorates (a background picture, a
// bevel) or has a window and an object of its own.
enum TAccessibleRole { arNone, arButton, arLink, arText };

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
  void SetTop(int top) { SetBounds(left_, top, width_, height_); }
  void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
  void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
  virtual void SetBounds(int left, int top, int width, int height);
  RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);

  // The font; a change redraws the control. ParentFont: take the parent's font when placed.
  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }
  virtual void FontChanged() { Invalidate(); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool parentFont) { parentFont_ = parentFont; }

  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor) { cursor_ = cursor; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool showHint);
  const std::string& HelpKeyword() const { return helpKeyword_; }
  void SetHelpKeyword(const std::string& keyword) { helpKeyword_ = keyword; }

  // Keyboard focus. TabOrder places a control among its siblings (as stored; a windowed one
  // without it after those placed before it); TabStop lets Tab and a form's first focus reach
  // it. A windowless control has the focus while its window has it and has focused it.
  int TabOrder() const { return tabOrder_; }
  void SetTabOrder(int tabOrder) { tabOrder_ = tabOrder; }
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool tabStop) { tabStop_ = tabStop; }
  // True when the control and all its parents are visible and enabled (and have windows).
  virtual bool CanFocus() const;
  virtual bool Focused() const;
  virtual void SetFocus();

  // Its role and name for a screen reader: the name set here, else the one its class gives it.
  virtual TAccessibleRole AccessibleRole() const { return arNone; }
  std::string AccessibleName() const {
    return accessibleName_.empty() ? DefaultAccessibleName() : accessibleName_;
  }
  void SetAccessibleName(const std::string& name) { accessibleName_ = name; }
  virtual std::string DefaultAccessibleName() const { return std::string(); }
  // The name that this control, a label, gives another control; empty for any other.
  virtual std::string LabelFor(const TControl& /*control*/) const { return std::string(); }

  TNotifyEvent OnClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

  // Pointer input as the parent routes it; x and y are in the control's own coordinates.
  virtual void Click();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

  // Redraws the control's area.
  virtual void Invalidate();
  // True for controls that have no window and are painted by their parent.
  virtual bool IsGraphic() const { return false; }
  // Paints a windowless control; the DC's origin is the control's top-left corner.
  virtual void Paint(HDC /*dc*/) {}
  // Sets one stored property; false when the control has no such property.
  virtual bool SetProperty(const std::string& name, const std::string& value);

 protected:
  virtual void BoundsChanged() {}
  // Records bounds that the window already has (moved by the system), without moving it.
  void StoreBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
  }

 private:
  TWinControl* parent_ = nullptr;  // not owned
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = alNone;
  bool visible_ = true;
  bool enabled_ = true;
  TFont font_;
  bool parentFont_ = true;
  TCursor cursor_ = crDefault;
  std::string hint_;
  bool showHint_ = false;
  std::string helpKeyword_;
  std::string accessibleName_;
  int tabOrder_ = -1;  // -1 until placed or stored
  bool tabStop_ = false;
};

// A control without a window of its own, painted by its parent.
class TGraphicControl : public TControl {
 public:
  using TControl::TControl;
  bool IsGraphic() const override { return true; }
};

// Property values as layouts store them.
int IntFromText(const std::string& name, const std::string& text);
bool BoolFromText(const std::string& name, const std::string& text);
TFontStyles FontStylesFromText(const std::string& text);
int CharsetFromText(const std::string& text);
