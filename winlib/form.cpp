#include "winlib/form.h"

#include <windowsx.h>

#include "winlib/application.h"
#include "winlib/exception.h"
#include "winlib/layout.h"

namespace {
DWORD StyleFor(TFormBorderStyle border) {
  const DWORD common = WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;
  return border == bsNone ? (WS_POPUP | common) : (WS_OVERLAPPED | WS_CAPTION | common);
}
}  // namespace

TForm::TForm(TComponent* owner, const FormClass& formClass)
    : TWinControl(owner), className_(formClass.className), methods_(formClass.methods) {
  const HWND appWindow = Application != nullptr ? Application->Handle() : nullptr;
  CreateHandle(StyleFor(borderStyle_), 0, appWindow);
  for (const Layout* layout : formClass.layouts) ApplyLayout(*this, *layout);
}

TForm::~TForm() = default;

void TForm::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (Handle() != nullptr) SetWindowTextA(Handle(), caption_.c_str());
}

void TForm::Show() {
  if (position_ == poScreenCenter && !centred_) Center();
  SetVisible(true);
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
  UpdateWindow(Handle());
}

void TForm::Center() {
  centred_ = true;
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  SetBounds((screenWidth - Width()) / 2, (screenHeight - Height()) / 2, Width(), Height());
}

void TForm::Close() {
  TCloseAction action = caHide;
  if (OnClose) OnClose(this, action);
  if (action == caNone) return;
  if (Application != nullptr && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  if (action == caFree) {
    ShowWindow(Handle(), SW_HIDE);
    if (Application != nullptr) {
      Application->ReleaseForm(this);
    }
  } else if (action == caMinimize) {
    ShowWindow(Handle(), SW_MINIMIZE);
  } else {
    SetVisible(false);
  }
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_MOVE:
    case WM_SIZE: {
      RECT r;
      GetWindowRect(Handle(), &r);
      StoreBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
      break;
    }
    default:
      break;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

bool TForm::SetProperty(const std::string& name, const std::string& value) {
  if (name == "Caption") {
    SetCaption(value);
  } else if (name == "ClientWidth" || name == "ClientHeight") {
    // Without a border the client area is the whole window.
    RECT r = {0, 0, name == "ClientWidth" ? IntFromText(name, value) : ClientWidth(),
              name == "ClientHeight" ? IntFromText(name, value) : ClientHeight()};
    AdjustWindowRectEx(&r, StyleFor(borderStyle_), FALSE, 0);
    SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
  } else if (name == "BorderStyle") {
    if (value != "bsNone" && value != "bsSingle") throw ELayoutError("Unknown " + value);
    borderStyle_ = value == "bsNone" ? bsNone : bsSingle;
    SetWindowLongA(Handle(), GWL_STYLE, static_cast<LONG>(StyleFor(borderStyle_)));
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  } else if (name == "Position") {
    if (value != "poScreenCenter" && value != "poDesigned") throw ELayoutError("Unknown " + value);
    position_ = value == "poScreenCenter" ? poScreenCenter : poDesigned;
  } else if (name == "PixelsPerInch" || name == "TextHeight") {
    IntFromText(name, value);  // layouts are stored at 96 pixels per inch
  } else if (name == "OldCreateOrder") {
    BoolFromText(name, value);
  } else if (name == "Visible") {
    // A form shows when the application runs it.
    BoolFromText(name, value);
  } else {
    return TWinControl::SetProperty(name, value);
  }
  return true;
}
