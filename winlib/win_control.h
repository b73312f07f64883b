// Controls with a window of their own; they paint and route the pointer for the windowless
// controls placed on them.
#pragma once

#include <windows.h>

#include <vector>

#include "winlib/control.h"

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  HWND Handle() const { return handle_; }

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
  // Paints now whatever is invalid.
  void Update();
  bool SetProperty(const std::string& name, const std::string& value) override;

  // Keyboard focus. TabOrder places a windowed control among its siblings (as stored, then
  // in the order they were placed); TabStop lets Tab and a form's first focus reach it.
  int TabOrder() const { return tabOrder_; }
  void SetTabOrder(int tabOrder) { tabOrder_ = tabOrder; }
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool tabStop) { tabStop_ = tabStop; }
  // True when the control and all its parents have windows and are visible and enabled.
  bool CanFocus() const;
  bool Focused() const { return handle_ != nullptr && GetFocus() == handle_; }
  void SetFocus();
  // The windowed controls inside this one, in tab order, each followed by its own.
  void GetTabOrderList(std::vector<TWinControl*>& list) const;

  // The topmost visible windowless control at a point of the client area, or none.
  TControl* ControlAtPos(int x, int y) const;

  // Kept by TControl: the control list and the hint tools follow the children.
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void ChildBoundsChanged(TControl* control);

 protected:
  // Creates the window: our own class unless a derived control names a system class.
  void CreateHandle(DWORD style, DWORD exStyle, HWND parent, const char* systemClass = nullptr);
  void DestroyHandle();

  // The window procedure of this control; derived controls take the messages they need and
  // pass the rest on.
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

  void BoundsChanged() override;
  // Gives the aligned children the client area again; run after every change of its size.
  void AlignControls();
  virtual void PaintWindow(HDC dc);
  // A windowed control at or below this one gained the keyboard focus; passed up to the form,
  // which remembers it.
  virtual void ChildFocused(TWinControl* control);

 private:
  static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Subclasses a window of a system class, so that its focus reaches ChildFocused too.
  static LRESULT CALLBACK SystemClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static const char* WindowClassName();

  void HandleMouse(UINT message, WPARAM wParam, LPARAM lParam);
  bool HandleSetCursor();
  void UpdateHintTool(TControl* control);

  HWND handle_ = nullptr;
  bool ownClass_ = true;
  WNDPROC systemProc_ = nullptr;     // a system class's own procedure, while subclassed
  std::vector<TControl*> controls_;  // children, in stored order; not owned
  TColor color_ = clBtnFace;
  int tabOrder_ = -1;  // -1 until placed or stored
  bool tabStop_ = false;
  TControl* captured_ = nullptr;  // the control that pressed the pointer, while it is held
  TMouseButton capturedButton_ = mbLeft;
  bool selfCaptured_ = false;
  HWND tooltip_ = nullptr;
};
