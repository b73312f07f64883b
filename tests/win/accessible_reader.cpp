#include "tests/win/accessible_reader.h"

namespace {

std::vector<std::pair<HWND, long>>* heard = nullptr;

void CALLBACK FocusEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (heard != nullptr && object == OBJID_CLIENT) heard->emplace_back(window, child);
}

VARIANT Id(long childId) {
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = childId;
  return v;
}

AccessibleElement ReadFrom(IAccessible* object, long childId) {
  AccessibleElement element;
  element.childId = childId;
  const VARIANT id = Id(childId);
  BSTR name = nullptr;
  if (object->get_accName(id, &name) == S_OK && name != nullptr) {
    element.name.assign(name, SysStringLen(name));
  }
  SysFreeString(name);
  VARIANT value;
  VariantInit(&value);
  if (SUCCEEDED(object->get_accRole(id, &value)) && value.vt == VT_I4) element.role = value.lVal;
  VariantClear(&value);
  if (SUCCEEDED(object->get_accState(id, &value)) && value.vt == VT_I4) element.state = value.lVal;
  VariantClear(&value);
  long left = 0, top = 0, width = 0, height = 0;
  if (SUCCEEDED(object->accLocation(&left, &top, &width, &height, id))) {
    element.location = {left, top, left + width, top + height};
  }
  return element;
}

}  // namespace

AccessibleReader::AccessibleReader(HWND window, LONG objectId) {
  if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(objectId), __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&object_)))) {
    object_ = nullptr;
  }
}

AccessibleReader::~AccessibleReader() {
  if (object_ != nullptr) object_->Release();
}

AccessibleElement AccessibleReader::Read(long childId) const {
  return object_ != nullptr ? ReadFrom(object_, childId) : AccessibleElement();
}

AccessibleElement AccessibleReader::ReadObject(IAccessible* object) {
  AccessibleElement element = ReadFrom(object, CHILDID_SELF);
  element.childId = 0;
  if (FAILED(WindowFromAccessibleObject(object, &element.window))) element.window = nullptr;
  return element;
}

std::vector<AccessibleElement> AccessibleReader::Children() const {
  std::vector<AccessibleElement> children;
  long count = 0;
  if (object_ == nullptr || FAILED(object_->get_accChildCount(&count)) || count <= 0) {
    return children;
  }
  std::vector<VARIANT> found(static_cast<std::size_t>(count));
  long obtained = 0;
  if (FAILED(AccessibleChildren(object_, 0, count, found.data(), &obtained))) return children;
  for (long i = 0; i < obtained; ++i) {
    VARIANT& child = found[static_cast<std::size_t>(i)];
    if (child.vt == VT_I4) {
      children.push_back(Read(child.lVal));
    } else if (child.vt == VT_DISPATCH && child.pdispVal != nullptr) {
      IAccessible* object = nullptr;
      if (SUCCEEDED(child.pdispVal->QueryInterface(__uuidof(IAccessible),
                                                   reinterpret_cast<void**>(&object)))) {
        children.push_back(ReadObject(object));
        object->Release();
      }
    }
    VariantClear(&child);
  }
  return children;
}

long AccessibleReader::ChildNamed(const std::wstring& name) const {
  for (const AccessibleElement& child : Children()) {
    if (child.childId != 0 && child.name == name) return child.childId;
  }
  return 0;
}

long AccessibleReader::FocusedChild() const {
  VARIANT focus;
  VariantInit(&focus);
  if (object_ == nullptr || FAILED(object_->get_accFocus(&focus))) return -1;
  const long id = focus.vt == VT_I4 ? focus.lVal : -1;
  VariantClear(&focus);
  return id;
}

ScopedFocusEvents::ScopedFocusEvents(DWORD process, std::vector<std::pair<HWND, long>>* events) {
  heard = events;
  hook_ = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, FocusEvent, process, 0,
                          WINEVENT_OUTOFCONTEXT);
}

ScopedFocusEvents::~ScopedFocusEvents() {
  if (hook_ != nullptr) UnhookWinEvent(hook_);
  heard = nullptr;
}
