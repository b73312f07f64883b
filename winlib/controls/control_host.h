// The windowless controls of one window: it paints them, routes the pointer to them (with
// the capture of a pressed button), sets their cursor, keeps their hints in a tooltip and keeps
// the one that has the keyboard focus (with its focus rectangle), which it tells screen readers
// of. The window asks it first about each of its messages. The tooltip, and comctl32 with it,
// is made when the pointer first comes onto a control with a hint, not with the window.
#pragma once

#include <windows.h>

#include "winlib/controls/control.h"
#include "winlib/system/scoped.h"

class TWinControl;

class TControlHost {
 public:
  explicit TControlHost(TWinControl& window) : window_(window) {}
  TControlHost(const TControlHost&) = delete;
  TControlHost& operator=(const TControlHost&) = delete;

  // Handles a message of the window that concerns the windowless controls; true, with the
  // message's result, when it did.
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  // Paints the window's background and its visible windowless controls, in stored order.
  void Paint(HDC dc);
  // The topmost visible and enabled windowless control at a point of the client area.
  TControl* ControlAtPos(int x, int y) const;

  // A control's bounds, hint or place changed: its hint follows, once there is a tooltip.
  void ControlChanged(TControl* control);
  // A control leaves the window: it is no longer pressed or focused and has no hint.
  void ControlRemoved(TControl* control);

  // The windowless control that has the keyboard focus while the window has it, or none.
  TControl* Focused() const { return focused_; }
  void SetFocused(TControl* control);
  // The window goes: the tooltip goes first.
  void WindowDestroying();

 private:
  void HandleMouse(UINT message, WPARAM wParam, LPARAM lParam);
  // Makes the tooltip with the hints of all controls, and hands it the pointer's move that
  // came onto a hinted control, so that this first hover shows its hint too. False when the
  // tooltip could not be had.
  bool MakeTooltip(WPARAM wParam, LPARAM lParam);
  void UpdateHint(TControl* control);
  void ForgetPress();
  bool HandleSetCursor();
  // Screen readers and keyboard users learn where the focus went.
  void AnnounceFocus();
  void InvalidateFocus();
  bool FocusRectShown() const;

  TWinControl& window_;
  TControl* captured_ = nullptr;  // the control that pressed the pointer, while it is held
  TControl* focused_ = nullptr;   // one of the window's controls; not owned
  TMouseButton capturedButton_ = mbLeft;
  bool selfCaptured_ = false;  // the window itself was pressed, outside every control
  ScopedWindow tooltip_;
  bool tooltipFailed_ = false;  // comctl32 or the window could not be had: hints stay unshown
};
