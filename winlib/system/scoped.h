// Owners of the system's handles: each closes its handle the one right way when it goes, so
// that no path, an exception's included, leaves one behind.
#pragma once

#include <ole2.h>
#include <windows.h>

#include <utility>

// A handle of one kind, closed with its owner. Traits give the kind: the handle type, the
// value that means none, and how a handle is closed.
template <class Traits>
class Scoped {
 public:
  using Handle = typename Traits::Handle;

  Scoped() = default;
  explicit Scoped(Handle handle) : handle_(handle) {}
  ~Scoped() { Reset(); }
  Scoped(Scoped&& other) noexcept : handle_(std::exchange(other.handle_, Traits::None())) {}
  Scoped& operator=(Scoped&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, Traits::None()));
    return *this;
  }
  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::None() && handle_ != nullptr; }
  // Closes the handle held and takes another.
  void Reset(Handle handle = Traits::None()) {
    if (*this) Traits::Close(handle_);
    handle_ = handle;
  }
  // Gives the handle up without closing it.
  Handle Release() { return std::exchange(handle_, Traits::None()); }
  // For a call that returns its handle through a pointer.
  Handle* Put() {
    Reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::None();
};

namespace scoped_traits {
// A handle for which null means none, closed by the system function given.
template <class H, auto CloseFunction>
struct ClosedBy {
  using Handle = H;
  static Handle None() { return nullptr; }
  static void Close(Handle h) { CloseFunction(h); }
};
// Files: CreateFile's none is INVALID_HANDLE_VALUE.
struct File {
  using Handle = HANDLE;
  static Handle None() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { CloseHandle(h); }
};
}  // namespace scoped_traits

using ScopedFile = Scoped<scoped_traits::File>;
using ScopedRegistryKey = Scoped<scoped_traits::ClosedBy<HKEY, &RegCloseKey>>;
using ScopedLibrary = Scoped<scoped_traits::ClosedBy<HMODULE, &FreeLibrary>>;
using ScopedWindow = Scoped<scoped_traits::ClosedBy<HWND, &DestroyWindow>>;
using ScopedGlobal = Scoped<scoped_traits::ClosedBy<HGLOBAL, &GlobalFree>>;
// A DC of CreateCompatibleDC.
using MemoryDC = Scoped<scoped_traits::ClosedBy<HDC, &DeleteDC>>;
// A GDI object (font, brush, pen, bitmap).
template <class H>
using GdiObject = Scoped<scoped_traits::ClosedBy<H, &DeleteObject>>;

// A counted reference to a COM object, released with its owner.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  T* Get() const { return object_; }
  T* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  void Reset() {
    if (object_ != nullptr) std::exchange(object_, nullptr)->Release();
  }
  // For a call that returns a new reference through a pointer.
  T** Put() {
    Reset();
    return &object_;
  }

 private:
  T* object_ = nullptr;
};

// Selects an object into a DC for a scope.
class SelectObjectScope {
 public:
  SelectObjectScope(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectObjectScope() {
    if (old_ != nullptr && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  SelectObjectScope(const SelectObjectScope&) = delete;
  SelectObjectScope& operator=(const SelectObjectScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Gives a variable another value for a scope; the value before comes back when it ends. The
// tests' stand-ins for the system are made of it.
template <class T>
class ScopedAssignment {
 public:
  ScopedAssignment(T& target, T value)
      : target_(target), previous_(std::exchange(target, std::move(value))) {}
  ~ScopedAssignment() { target_ = std::move(previous_); }
  ScopedAssignment(const ScopedAssignment&) = delete;
  ScopedAssignment& operator=(const ScopedAssignment&) = delete;

 private:
  T& target_;
  T previous_;
};

// A window's DC from GetWindowDC or GetDC, released with its owner.
class WindowDC {
 public:
  WindowDC(HWND window, bool wholeWindow)
      : window_(window), dc_(wholeWindow ? GetWindowDC(window) : GetDC(window)) {}
  ~WindowDC() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};
