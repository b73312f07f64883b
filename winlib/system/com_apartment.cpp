#include "winlib/system/com_apartment.h"

ComApartment::ComApartment(const char* ole32File, const char* oleaut32File)
    : ole32_(ole32File), oleaut32_(oleaut32File) {
  using InitializeFunction = HRESULT(WINAPI*)(LPVOID);
  const auto initialize = ole32_.Get<InitializeFunction>("CoInitialize");
  if (initialize == nullptr || !oleaut32_.Loaded()) return;
  // S_FALSE (already initialised on this thread) also counts and is also undone. Wine marshals
  // the screen readers' objects without it; Windows does not.
  entered_ = SUCCEEDED(initialize(nullptr));
}

ComApartment::~ComApartment() {
  if (!entered_) return;
  using UninitializeFunction = void(WINAPI*)();
  if (const auto uninitialize = ole32_.Get<UninitializeFunction>("CoUninitialize")) uninitialize();
}

const ComApartment& ComApartment::System() {
  static const ComApartment apartment("ole32.dll", "oleaut32.dll");
  return apartment;
}
