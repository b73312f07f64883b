#include "winlib/accessibility/oleacc.h"

#include "winlib/accessibility/accessible_object.h"
#include "winlib/system/com_apartment.h"

// {618736E0-3C3D-11CF-810C-00AA00389B71}
const IID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

const AccessibilityLibraries& AccessibilityLibraries::Get() {
  static const AccessibilityLibraries libraries;
  return libraries;
}

AccessibilityLibraries::AccessibilityLibraries() {
  const ComApartment& apartment = ComApartment::System();
  lresultFromObject_ = oleacc_.Get<LresultFromObjectFunction>("LresultFromObject");
  createStdObject_ = oleacc_.Get<StdObjectFunction>("CreateStdAccessibleObject");
  fromWindow_ = oleacc_.Get<FromWindowFunction>("AccessibleObjectFromWindow");
  allocString_ = apartment.OleAut32().Get<AllocStringFunction>("SysAllocStringLen");
  if (!apartment.Entered() || lresultFromObject_ == nullptr || createStdObject_ == nullptr ||
      fromWindow_ == nullptr || allocString_ == nullptr) {
    OutputDebugStringA("Screen readers get no objects: the accessibility libraries are missing.\n");
    return;
  }
  available_ = true;
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
