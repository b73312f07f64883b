#include "winlib/system/system_library.h"

#include <string>

SystemLibrary::SystemLibrary(const char* fileName) {
  char folder[MAX_PATH];
  // The length without the terminator, or the size needed when the buffer is too small.
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  module_.Reset(LoadLibraryA((std::string(folder, length) + "\\" + fileName).c_str()));
}

FARPROC SystemLibrary::Address(const char* name) const {
  return module_ ? GetProcAddress(module_.Get(), name) : nullptr;
}
