#include "winlib/accessibility/oleacc.h"

#include <utility>

#include "winlib/accessibility/accessible_object.h"
#include "winlib/system/com_apartment.h"

// {618736E0-3C3D-11CF-810C-00AA00389B71}
const IID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

namespace {

// {B5F8350B-0548-48B1-A6EE-88BD00B4A5E7} and {6E26E776-04F0-495D-80E4-3330352E3169}, defined
// here for the same reason as IAccessible's.
const CLSID kClsidAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
const IID kIidAccPropServices = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};

// A test's service in place of oleacc's, while one is set.
IAccPropServices* overriddenServices = nullptr;

}  // namespace

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
  createInstance_ = apartment.Ole32().Get<CreateInstanceFunction>("CoCreateInstance");
  if (!apartment.Entered() || lresultFromObject_ == nullptr || createStdObject_ == nullptr ||
      fromWindow_ == nullptr || allocString_ == nullptr || createInstance_ == nullptr) {
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

IAccPropServices* AccessibilityLibraries::PropServices() const {
  if (overriddenServices != nullptr) {
    overriddenServices->AddRef();
    return overriddenServices;
  }
  IAccPropServices* services = nullptr;
  if (!available_ ||
      FAILED(createInstance_(kClsidAccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                             kIidAccPropServices, reinterpret_cast<void**>(&services)))) {
    return nullptr;
  }
  return services;
}

PropServicesOverride::PropServicesOverride(IAccPropServices* services)
    : previous_(std::exchange(overriddenServices, services)) {
  services->AddRef();
}

PropServicesOverride::~PropServicesOverride() {
  std::exchange(overriddenServices, previous_)->Release();
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
