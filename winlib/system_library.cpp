#include "winlib/system_library.h"

#include <string>

SystemLibrary::SystemLibrary(const char* fileName) {
  char folder[MAX_PATH];
  // The length without the terminator, or the size needed when the buffer is too small.
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  module_ = LoadLibraryA((std::string(folder, length) + "\\" + fileName).c_str());
}

SystemLibrary::~SystemLibrary() {
  if (module_ != nullptr) FreeLibrary(module_);
}

FARPROC SystemLibrary::Address(const char* name) const {
  return module_ != nullptr ? GetProcAddress(module_, name) : nullptr;
}
