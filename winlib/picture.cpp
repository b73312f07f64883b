#include "winlib/picture.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <vector>

#include "winlib/exception.h"
#include "winlib/graphics.h"
#include "winlib/picture_decoder.h"

namespace {

std::string LowerExtension(const std::string& path) {
  const std::size_t dot = path.find_last_of('.');
  const std::size_t slash = path.find_last_of("\\/");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

// The pixel size of a decoded picture. The decoder keeps the size in HIMETRIC, converted
// at the screen's resolution, so the bitmap it made is asked first.
SIZE PictureSize(IPicture* picture) {
  short type = PICTYPE_UNINITIALIZED;
  OLE_HANDLE handle = 0;
  BITMAP info = {};
  if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP &&
      SUCCEEDED(picture->get_Handle(&handle)) &&
      GetObjectA(static_cast<HBITMAP>(LongToHandle(static_cast<LONG>(handle))), sizeof info,
                 &info) == sizeof info) {
    return SIZE{info.bmWidth, std::abs(info.bmHeight)};
  }
  OLE_XSIZE_HIMETRIC w = 0;
  OLE_YSIZE_HIMETRIC h = 0;
  picture->get_Width(&w);
  picture->get_Height(&h);
  const int pixelsPerInch = ScreenPixelsPerInch();
  return SIZE{MulDiv(w, pixelsPerInch, 2540), MulDiv(h, pixelsPerInch, 2540)};
}

}  // namespace

TPicture::~TPicture() {
  Clear();
}

void TPicture::Clear() {
  bitmap_.Reset();
  if (picture_ != nullptr) {
    picture_->Release();
    picture_ = nullptr;
  }
  width_ = height_ = 0;
}

void TPicture::TakeBitmap(HBITMAP bitmap) {
  Clear();
  BITMAP info = {};
  GetObjectA(bitmap, sizeof info, &info);
  bitmap_.Reset(bitmap);
  width_ = info.bmWidth;
  height_ = std::abs(info.bmHeight);
}

void TPicture::LoadFromFile(const std::string& path, const PictureDecoder* decoder) {
  const std::string ext = LowerExtension(path);
  if (ext == ".bmp") {
    const HANDLE bitmap = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                     LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (bitmap == nullptr) throw EInvalidGraphic("Bitmap image is not valid: " + path);
    TakeBitmap(static_cast<HBITMAP>(bitmap));
    return;
  }
  if (ext == ".gif" || ext == ".jpg" || ext == ".jpeg") {
    if (decoder == nullptr) decoder = &SystemPictureDecoder();
    if (!decoder->Available()) throw EInvalidGraphic("No picture decoder for " + path);
    IPicture* picture = decoder->Decode(path);
    if (picture == nullptr) throw EInvalidGraphic("Picture image is not valid: " + path);
    const SIZE size = PictureSize(picture);
    Clear();
    picture_ = picture;
    width_ = size.cx;
    height_ = size.cy;
    return;
  }
  throw EInvalidGraphic("Unknown picture file extension (" + ext + ")");
}

void TPicture::LoadFromResourceName(const std::string& name) {
  const HANDLE bitmap =
      LoadImageA(GetModuleHandleA(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (bitmap == nullptr) throw EInvalidGraphic("No picture resource " + name);
  TakeBitmap(static_cast<HBITMAP>(bitmap));
}

void TPicture::Draw(HDC dc, int x, int y) const {
  if (bitmap_) {
    MemoryDC memory(dc);
    SelectObjectScope select(memory.Get(), bitmap_.Get());
    BitBlt(dc, x, y, width_, height_, memory.Get(), 0, 0, SRCCOPY);
  } else if (picture_ != nullptr) {
    OLE_XSIZE_HIMETRIC w = 0;
    OLE_YSIZE_HIMETRIC h = 0;
    picture_->get_Width(&w);
    picture_->get_Height(&h);
    picture_->Render(dc, x, y, width_, height_, 0, h, w, -h, nullptr);
  }
}
