// A child window with a colour of its own, holding other controls.
#pragma once

#include "winlib/controls/win_control.h"

class TPanel : public TWinControl {
 public:
  using TWinControl::TWinControl;
  const unsigned char* ClassName() const override;

  void SetParent(TWinControl* parent) override;
  bool SetProperty(const std::string& name, const std::string& value) override;

 protected:
  void PaintWindow(HDC dc) override;

 private:
  bool raised_ = true;
};
