#include "winlib/accessibility.h"

// {618736E0-3C3D-11CF-810C-00AA00389B71}
const IID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

const AccessibilityLibraries& AccessibilityLibraries::Get() {
  static const AccessibilityLibraries libraries;
  return libraries;
}

AccessibilityLibraries::AccessibilityLibraries() {
  using InitializeFunction = HRESULT(WINAPI*)(LPVOID);
  const auto initialize = ole32_.Get<InitializeFunction>("CoInitialize");
  lresultFromObject_ = oleacc_.Get<LresultFromObjectFunction>("LresultFromObject");
  createStdObject_ = oleacc_.Get<StdObjectFunction>("CreateStdAccessibleObject");
  fromWindow_ = oleacc_.Get<FromWindowFunction>("AccessibleObjectFromWindow");
  allocString_ = oleaut32_.Get<AllocStringFunction>("SysAllocStringLen");
  if (initialize == nullptr || lresultFromObject_ == nullptr || createStdObject_ == nullptr ||
      fromWindow_ == nullptr || allocString_ == nullptr) {
    OutputDebugStringA("Screen readers get no objects: the accessibility libraries are missing.\n");
    return;
  }
  // S_FALSE (already initialised on this thread) also counts and is also undone. Wine marshals
  // the objects without it; Windows does not.
  comInitialised_ = SUCCEEDED(initialize(nullptr));
  available_ = comInitialised_;
}

AccessibilityLibraries::~AccessibilityLibraries() {
  if (!comInitialised_) return;
  using UninitializeFunction = void(WINAPI*)();
  if (const auto uninitialize = ole32_.Get<UninitializeFunction>("CoUninitialize")) uninitialize();
}

LRESULT AccessibilityLibraries::ResultFromObject(REFIID iid, WPARAM wParam,
                                                 IUnknown* object) const {
  if (!available_) return 0;
  const LRESULT result = lresultFromObject_(iid, wParam, object);
  return result >= 0 ? result : 0;  // a failure comes as a negative HRESULT
}

IDispatch* AccessibilityLibraries::WindowObject(HWND window, LONG objectId) const {
  IDispatch* object = nullptr;
  if (!available_ || FAILED(fromWindow_(window, static_cast<DWORD>(objectId), IID_IDispatch,
                                        reinterpret_cast<void**>(&object)))) {
    return nullptr;
  }
  return object;
}

HRESULT AccessibilityLibraries::StandardObject(HWND window, LONG objectId, REFIID iid,
                                               void** object) const {
  *object = nullptr;
  return available_ ? createStdObject_(window, objectId, iid, object) : E_FAIL;
}

BSTR AccessibilityLibraries::String(const std::string& gbk) const {
  if (!available_) return nullptr;
  const std::wstring wide = WideFromGbk(gbk);
  return allocString_(wide.c_str(), static_cast<UINT>(wide.size()));
}

std::wstring WideFromGbk(const std::string& gbk) {
  if (gbk.empty()) return std::wstring();
  const int size = static_cast<int>(gbk.size());
  const int length = MultiByteToWideChar(936, 0, gbk.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(936, 0, gbk.data(), size, wide.data(), length);
  return wide;
}
