// A windowless text label.
#pragma once

#include "winlib/control.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);
  const unsigned char* ClassName() const override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  TAlignment Alignment() const { return alignment_; }
  bool WordWrap() const { return wordWrap_; }
  bool Transparent() const { return transparent_; }
  bool AutoSize() const { return autoSize_; }

  void Paint(HDC dc) override;
  bool SetProperty(const std::string& name, const std::string& value) override;

 private:
  void AdjustSize();
  UINT DrawFlags() const;

  std::string caption_;
  TAlignment alignment_ = taLeftJustify;
  bool wordWrap_ = false;
  bool transparent_ = false;
  bool autoSize_ = true;
};
