#include "winlib/graphics/picture.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <utility>
#include <vector>

#include "winlib/graphics/graphics.h"
#include "winlib/graphics/picture_decoder.h"
#include "winlib/system/exception.h"

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

// The pixel size of a decoded picture; false when the picture cannot tell it. The decoder keeps the
// size in HIMETRIC, converted at the screen's resolution, so the bitmap it made is asked first.
bool PictureSize(IPicture* picture, SIZE* size) {
  short type = PICTYPE_UNINITIALIZED;
  OLE_HANDLE handle = 0;
  BITMAP info = {};
  if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP &&
      SUCCEEDED(picture->get_Handle(&handle)) &&
      GetObjectA(static_cast<HBITMAP>(LongToHandle(static_cast<LONG>(handle))), sizeof info,
                 &info) == sizeof info) {
    *size = SIZE{info.bmWidth, std::abs(info.bmHeight)};
    return true;
  }
  OLE_XSIZE_HIMETRIC w = 0;
  OLE_YSIZE_HIMETRIC h = 0;
  if (FAILED(picture->get_Width(&w)) || FAILED(picture->get_Height(&h))) return false;
  const int pixelsPerInch = ScreenPixelsPerInch();
  *size = SIZE{MulDiv(w, pixelsPerInch, 2540), MulDiv(h, pixelsPerInch, 2540)};
  return true;
}

}  // namespace

TPicture::~TPicture() {
  Clear();
}

void TPicture::Clear() {
  bitmap_.Reset();
  picture_.Reset();
  width_ = height_ = 0;
}

void TPicture::TakeBitmap(HBITMAP bitmap, const std::string& source) {
  GdiObject<HBITMAP> owned(bitmap);
  BITMAP info = {};
  if (GetObjectA(bitmap, sizeof info, &info) != sizeof info) {
    throw EInvalidGraphic("Bitmap image is not valid: " + source);
  }
  Clear();
  bitmap_ = std::move(owned);
  width_ = info.bmWidth;
  height_ = std::abs(info.bmHeight);
}

void TPicture::LoadFromFile(const std::string& path, const PictureDecoder* decoder) {
  const std::string ext = LowerExtension(path);
  if (ext == ".bmp") {
    const HANDLE bitmap = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                     LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (bitmap == nullptr) throw EInvalidGraphic("Bitmap image is not valid: " + path);
    TakeBitmap(static_cast<HBITMAP>(bitmap), path);
    return;
  }
  if (ext == ".gif" || ext == ".jpg" || ext == ".jpeg") {
    if (decoder == nullptr) decoder = &SystemPictureDecoder();
    if (!decoder->Available()) throw EInvalidGraphic("No picture decoder for " + path);
    ComPtr<IPicture> picture = decoder->Decode(path);
    SIZE size = {};
    if (!picture || !PictureSize(picture.Get(), &size)) {
      throw EInvalidGraphic("Picture image is not valid: " + path);
    }
    Clear();
    picture_ = std::move(picture);
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
  TakeBitmap(static_cast<HBITMAP>(bitmap), name);
}

void TPicture::Draw(HDC dc, int x, int y) const {
  if (bitmap_) {
    MemoryDC memory(CreateCompatibleDC(dc));
    SelectObjectScope select(memory.Get(), bitmap_.Get());
    BitBlt(dc, x, y, width_, height_, memory.Get(), 0, 0, SRCCOPY);
  } else if (picture_) {
    OLE_XSIZE_HIMETRIC w = 0;
    OLE_YSIZE_HIMETRIC h = 0;
    if (FAILED(picture_->get_Width(&w)) || FAILED(picture_->get_Height(&h))) return;
    picture_->Render(dc, x, y, width_, height_, 0, h, w, -h, nullptr);
  }
}
