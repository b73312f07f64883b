#include "winlib/controls/bevel.h"

const unsigned char* TBevel::ClassName() const {
  static const unsigned char name[] = "\x06TBevel";
  return name;
}

void TBevel::Paint(HDC dc) {
  // Shadow along the top and left, highlight along the bottom and right.
  RECT r = {0, 0, Width(), Height()};
  DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
}
