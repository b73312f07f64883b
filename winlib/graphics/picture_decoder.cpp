#include "winlib/graphics/picture_decoder.h"

#include <utility>

#include "winlib/system/com_apartment.h"

namespace {

// Reads the whole file into movable global memory, as a stream wants it; none on failure.
ScopedGlobal ReadIntoGlobal(const std::string& path, DWORD* size) {
  const ScopedFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return ScopedGlobal();
  *size = GetFileSize(file.Get(), nullptr);
  if (*size == INVALID_FILE_SIZE) return ScopedGlobal();
  if (*size == 0) return ScopedGlobal();  // no picture, and no memory block to lock
  ScopedGlobal memory(GlobalAlloc(GMEM_MOVEABLE, *size));
  if (!memory) return ScopedGlobal();
  bool ok = false;
  if (void* data = GlobalLock(memory.Get())) {
    DWORD read = 0;
    ok = ReadFile(file.Get(), data, *size, &read, nullptr) && read == *size;
    GlobalUnlock(memory.Get());
  }
  return ok ? std::move(memory) : ScopedGlobal();
}

}  // namespace

PictureDecoder::PictureDecoder(const ComApartment& apartment) {
  if (!apartment.Entered()) return;
  createStream_ = apartment.Ole32().Get<CreateStreamFunction>("CreateStreamOnHGlobal");
  loadPicture_ = apartment.OleAut32().Get<LoadPictureFunction>("OleLoadPicture");
}

ComPtr<IPicture> PictureDecoder::Decode(const std::string& path) const {
  ComPtr<IPicture> picture;
  if (!Available()) return picture;
  DWORD size = 0;
  ScopedGlobal memory = ReadIntoGlobal(path, &size);
  if (!memory) return picture;
  ComPtr<IStream> stream;
  if (FAILED(createStream_(memory.Get(), TRUE, stream.Put()))) return picture;
  memory.Release();  // the stream frees the memory when it is released
  if (FAILED(loadPicture_(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                          reinterpret_cast<void**>(picture.Put())))) {
    picture.Reset();
  }
  return picture;
}

const PictureDecoder& SystemPictureDecoder() {
  static const PictureDecoder decoder(ComApartment::System());
  return decoder;
}
