// Controls with a window of their own: of our own window class, or of a system class (a list
// box) whose window we subclass. Both reach the virtual WndProc through one window procedure.
// Our own windows host the windowless controls placed on them (winlib/controls/control_host.h).
#pragma once

#include <windows.h>

#include <vector>

#include "winlib/accessibility/accessible_named.h"
#include "winlib/controls/control.h"
#include "winlib/controls/control_host.h"

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  HWND Handle() const { return handle_; }
  // The control of one of our windows (either kind), or none.
  static TWinControl* FromHandle(HWND window);

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_[index]; }

  TColor Color() const { return color_; }
  void SetColor(TColor color);

  virtual int ClientWidth() const { return Width(); }
  virtual int ClientHeight() const { return Height(); }

  void SetParent(TWinControl* parent) override;
  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  void Invalidate() override;
  void InvalidateRect(const RECT& rect);
  bool SetProperty(const std::string& name, const std::string& value) override;

  bool CanFocus() const override;
  bool Focused() const override { return handle_ != nullptr && GetFocus() == handle_; }
  void SetFocus() override;
  // The controls inside this one that take part in the keyboard's way through the window, in
  // tab order: every windowed one, each followed by its own, and the windowless tab stops.
  void GetTabOrderList(std::vector<TControl*>& list) const;
  // The windowless control that this window has focused: the one with the keyboard focus
  // while this window has it. Focusing one gives this window the focus.
  TControl* FocusedWindowless() const { return host_.Focused(); }
  void FocusWindowless(TControl* control);

  // A windowed control goes by the caption of the label that names it (FocusControl).
  std::string DefaultAccessibleName() const override;
  // The controls inside whose click Enter and Esc stand for, when this window has them (a
  // form); screen readers are told of them.
  virtual TControl* DefaultControl() const { return nullptr; }
  virtual TControl* CancelControl() const { return nullptr; }

  // The topmost visible windowless control at a point of the client area, or none.
  TControl* ControlAtPos(int x, int y) const { return host_.ControlAtPos(x, y); }

  // Kept by TControl: the control list and the hint tools follow the children.
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  // A child's bounds, hint or place changed.
  void ChildChanged(TControl* control);

 protected:
  // Creates the window: our own class unless a derived control names a system class.
  // Throws Exception with the system's error code when the window cannot be made.
  void CreateHandle(DWORD style, DWORD exStyle, HWND parent, const char* systemClass = nullptr);
  void DestroyHandle();

  // The window procedure of this control; derived controls take the messages they need and
  // pass the rest on. Our own windows ask the host of their windowless controls first.
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  // What the window's class does: the system class's own procedure, or DefWindowProc.
  LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

  void BoundsChanged() override;
  // Gives the aligned children the client area again; run after every change of its size.
  void AlignControls();
  // Paints the client area; by default the background and the windowless controls.
  virtual void PaintWindow(HDC dc) { host_.Paint(dc); }
  // A control at or below this one gained the keyboard focus; passed up to the form, which
  // remembers it.
  virtual void ChildFocused(TControl* control);

 private:
  friend class TControlHost;  // paints through PaintWindow

  // The one window procedure of both kinds of window.
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static const char* WindowClassName();
  // The window is gone: the control forgets it, and a subclass is undone.
  LRESULT Detach(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool OwnClass() const { return systemProc_ == nullptr; }

  HWND handle_ = nullptr;
  WNDPROC systemProc_ = nullptr;     // a system class's own procedure, while subclassed
  std::vector<TControl*> controls_;  // children, in stored order; not owned
  TColor color_ = clBtnFace;
  TControlHost host_{*this};
  AccessibleNaming naming_;  // a system control's name for screen readers
};
