// A picture: a bitmap from the program's resources or a file, or a picture decoded by
// Windows' own decoders (GIF, JPEG).
#pragma once

#include <ole2.h>
#include <olectl.h>
#include <windows.h>

#include <string>

#include "winlib/system/scoped.h"

class PictureDecoder;

class TPicture {
 public:
  TPicture() = default;
  ~TPicture();
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  // Loads a ".bmp", ".gif" or ".jpg" file, the latter two with the decoder given, else the
  // system's; throws EInvalidGraphic when it cannot be read or decoded (also when the decoder
  // is not available), leaving the picture as it was.
  void LoadFromFile(const std::string& path, const PictureDecoder* decoder = nullptr);
  // Loads a bitmap resource of the program; throws EInvalidGraphic when there is none.
  void LoadFromResourceName(const std::string& name);
  void Clear();

  bool Empty() const { return !bitmap_ && !picture_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Draws the picture at its own size with its top-left corner at x, y.
  void Draw(HDC dc, int x, int y) const;

 private:
  // Takes a loaded bitmap; throws EInvalidGraphic (and deletes it) when it has no size.
  void TakeBitmap(HBITMAP bitmap, const std::string& source);

  GdiObject<HBITMAP> bitmap_;
  ComPtr<IPicture> picture_;
  int width_ = 0, height_ = 0;
};
