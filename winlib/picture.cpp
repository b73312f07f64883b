#include "winlib/picture.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <vector>

#include "winlib/exception.h"
#include "winlib/graphics.h"

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

// Reads the whole file into movable global memory, as a stream wants it.
HGLOBAL ReadIntoGlobal(const std::string& path, DWORD* size) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  *size = GetFileSize(file, nullptr);
  HGLOBAL memory = *size != INVALID_FILE_SIZE ? GlobalAlloc(GMEM_MOVEABLE, *size) : nullptr;
  bool ok = memory != nullptr;
  if (ok) {
    void* data = GlobalLock(memory);
    DWORD read = 0;
    ok = ReadFile(file, data, *size, &read, nullptr) && read == *size;
    GlobalUnlock(memory);
  }
  CloseHandle(file);
  if (!ok && memory != nullptr) {
    GlobalFree(memory);
    memory = nullptr;
  }
  return memory;
}

// Decodes a GIF or JPEG file with the system's picture decoder.
IPicture* DecodePicture(const std::string& path) {
  DWORD size = 0;
  const HGLOBAL memory = ReadIntoGlobal(path, &size);
  if (memory == nullptr) return nullptr;
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
    GlobalFree(memory);
    return nullptr;
  }
  IPicture* picture = nullptr;
  const HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                    reinterpret_cast<void**>(&picture));
  stream->Release();
  return SUCCEEDED(hr) ? picture : nullptr;
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

void TPicture::LoadFromFile(const std::string& path) {
  const std::string ext = LowerExtension(path);
  if (ext == ".bmp") {
    const HANDLE bitmap = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                     LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (bitmap == nullptr) throw EInvalidGraphic("Bitmap image is not valid: " + path);
    TakeBitmap(static_cast<HBITMAP>(bitmap));
    return;
  }
  if (ext == ".gif" || ext == ".jpg" || ext == ".jpeg") {
    static const HRESULT com = CoInitialize(nullptr);
    (void)com;
    IPicture* picture = DecodePicture(path);
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
