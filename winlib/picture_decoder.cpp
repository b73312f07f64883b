#include "winlib/picture_decoder.h"

#include <utility>

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

PictureDecoder::PictureDecoder(const char* ole32File, const char* oleaut32File)
    : ole32_(ole32File), oleaut32_(oleaut32File) {
  using InitializeFunction = HRESULT(WINAPI*)(LPVOID);
  const auto initialize = ole32_.Get<InitializeFunction>("CoInitialize");
  const auto createStream = ole32_.Get<CreateStreamFunction>("CreateStreamOnHGlobal");
  const auto loadPicture = oleaut32_.Get<LoadPictureFunction>("OleLoadPicture");
  if (initialize == nullptr || createStream == nullptr || loadPicture == nullptr) return;
  // S_FALSE (already initialised on this thread) also counts and is also undone.
  comInitialised_ = SUCCEEDED(initialize(nullptr));
  if (!comInitialised_) return;
  createStream_ = createStream;
  loadPicture_ = loadPicture;
}

PictureDecoder::~PictureDecoder() {
  if (!comInitialised_) return;
  using UninitializeFunction = void(WINAPI*)();
  const auto uninitialize = ole32_.Get<UninitializeFunction>("CoUninitialize");
  if (uninitialize != nullptr) uninitialize();
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
  static const PictureDecoder decoder("ole32.dll", "oleaut32.dll");
  return decoder;
}
