// A top-level window of the component library's own class, without an application or a form:
// the controls' tests place controls on it and paint it where they like.
#pragma once

#include <windows.h>

#include "winlib/controls/win_control.h"

class TBareWindow : public TWinControl {
 public:
  TBareWindow(int width, int height) : TWinControl(nullptr) {
    SetBounds(100, 100, width, height);
    CreateHandle(WS_POPUP, 0, nullptr);
  }
  using TWinControl::PaintWindow;

  // The colour of every pixel of the client area as painted now, row by row.
  std::vector<COLORREF> Painted() {
    std::vector<COLORREF> pixels;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, Width(), Height());
    const HGDIOBJ old = SelectObject(memory, bitmap);
    PaintWindow(memory);
    for (int y = 0; y < Height(); ++y) {
      for (int x = 0; x < Width(); ++x) pixels.push_back(GetPixel(memory, x, y));
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
  }
};
