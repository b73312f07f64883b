// A windowless text label.
#pragma once

#include "winlib/controls/control.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);
  const unsigned char* ClassName() const override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  TAlignment Alignment() const { return alignment_; }

  void Paint(HDC dc) override;
  bool SetProperty(const std::string& name, const std::string& value) override;

  // A label with a click is a link; any other is text. FocusControl names the control that the
  // label stands above, which screen readers then call by the label's caption.
  TAccessibleRole AccessibleRole() const override { return OnClick ? arLink : arText; }
  std::string DefaultAccessibleName() const override { return caption_; }
  std::string LabelFor(const TControl& control) const override;

 private:
  void AdjustSize();
  UINT DrawFlags() const;

  std::string caption_;
  std::string focusControl_;  // a control's name
  TAlignment alignment_ = taLeftJustify;
  bool wordWrap_ = false;
  bool transparent_ = false;
  bool autoSize_ = true;
};
