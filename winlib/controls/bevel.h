// A windowless bevel: a lowered box, a rule when it is thin.
#pragma once

#include "winlib/controls/control.h"

class TBevel : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  const unsigned char* ClassName() const override;
  void Paint(HDC dc) override;
};
