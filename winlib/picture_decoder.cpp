#include "winlib/picture_decoder.h"

namespace {

// An open file, closed with its owner.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Reads the whole file into movable global memory, as a stream wants it; null on failure.
HGLOBAL ReadIntoGlobal(const std::string& path, DWORD* size) {
  const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.Get() == INVALID_HANDLE_VALUE) return nullptr;
  *size = GetFileSize(file.Get(), nullptr);
  if (*size == INVALID_FILE_SIZE) return nullptr;
  if (*size == 0) return nullptr;  // no picture, and no memory block to lock
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, *size);
  if (memory == nullptr) return nullptr;
  bool ok = false;
  if (void* data = GlobalLock(memory)) {
    DWORD read = 0;
    ok = ReadFile(file.Get(), data, *size, &read, nullptr) && read == *size;
    GlobalUnlock(memory);
  }
  if (!ok) {
    GlobalFree(memory);
    return nullptr;
  }
  return memory;
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

IPicture* PictureDecoder::Decode(const std::string& path) const {
  if (!Available()) return nullptr;
  DWORD size = 0;
  const HGLOBAL memory = ReadIntoGlobal(path, &size);
  if (memory == nullptr) return nullptr;
  IStream* stream = nullptr;
  // The stream frees the memory when it is released.
  if (FAILED(createStream_(memory, TRUE, &stream))) {
    GlobalFree(memory);
    return nullptr;
  }
  IPicture* picture = nullptr;
  const HRESULT hr = loadPicture_(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                  reinterpret_cast<void**>(&picture));
  stream->Release();
  return SUCCEEDED(hr) ? picture : nullptr;
}

const PictureDecoder& SystemPictureDecoder() {
  static const PictureDecoder decoder("ole32.dll", "oleaut32.dll");
  return decoder;
}
