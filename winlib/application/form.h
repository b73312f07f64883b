// Forms: top-level windows built from stored layouts, with published methods that the
// layouts bind to control events by name.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "winlib/controls/win_control.h"

struct Layout;
class TForm;

// Finds a form's published methods by name, bound to one form.
class MethodLookup {
 public:
  virtual ~MethodLookup() = default;
  virtual TNotifyEvent Notify(TForm* form, const std::string& name) const = 0;
  virtual TMouseEvent Mouse(TForm* form, const std::string& name) const = 0;
  virtual TMouseMoveEvent MouseMove(TForm* form, const std::string& name) const = 0;
  virtual TCloseEvent Close(TForm* form, const std::string& name) const = 0;
};

// The published methods of form class T; a name it does not publish is looked up in the
// table of T's base class, when it has one.
template <class T>
class MethodTable : public MethodLookup {
 public:
  explicit MethodTable(const MethodLookup* base = nullptr) : base_(base) {}

  using NotifyMethod = void (T::*)(TObject*);
  using MouseMethod = void (T::*)(TObject*, TMouseButton, TShiftState, int, int);
  using MouseMoveMethod = void (T::*)(TObject*, TShiftState, int, int);
  using CloseMethod = void (T::*)(TObject*, TCloseAction&);

  MethodTable& Publish(const std::string& name, NotifyMethod m) { return Put(notify_, name, m); }
  MethodTable& Publish(const std::string& name, MouseMethod m) { return Put(mouse_, name, m); }
  MethodTable& Publish(const std::string& name, MouseMoveMethod m) { return Put(move_, name, m); }
  MethodTable& Publish(const std::string& name, CloseMethod m) { return Put(close_, name, m); }

  TNotifyEvent Notify(TForm* form, const std::string& name) const override {
    const NotifyMethod m = Get(notify_, name);
    if (m == nullptr) return base_ != nullptr ? base_->Notify(form, name) : nullptr;
    return [form, m](TObject* sender) { (static_cast<T*>(form)->*m)(sender); };
  }
  TMouseEvent Mouse(TForm* form, const std::string& name) const override {
    const MouseMethod m = Get(mouse_, name);
    if (m == nullptr) return base_ != nullptr ? base_->Mouse(form, name) : nullptr;
    return [form, m](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      (static_cast<T*>(form)->*m)(s, b, sh, x, y);
    };
  }
  TMouseMoveEvent MouseMove(TForm* form, const std::string& name) const override {
    const MouseMoveMethod m = Get(move_, name);
    if (m == nullptr) return base_ != nullptr ? base_->MouseMove(form, name) : nullptr;
    return [form, m](TObject* s, TShiftState sh, int x, int y) {
      (static_cast<T*>(form)->*m)(s, sh, x, y);
    };
  }
  TCloseEvent Close(TForm* form, const std::string& name) const override {
    const CloseMethod m = Get(close_, name);
    if (m == nullptr) return base_ != nullptr ? base_->Close(form, name) : nullptr;
    return [form, m](TObject* s, TCloseAction& a) { (static_cast<T*>(form)->*m)(s, a); };
  }

 private:
  template <class M>
  MethodTable& Put(std::map<std::string, M>& map, const std::string& name, M m) {
    map[name] = m;
    return *this;
  }
  template <class M>
  static M Get(const std::map<std::string, M>& map, const std::string& name) {
    const auto it = map.find(name);
    return it == map.end() ? nullptr : it->second;
  }

  const MethodLookup* base_;
  std::map<std::string, NotifyMethod> notify_;
  std::map<std::string, MouseMethod> mouse_;
  std::map<std::string, MouseMoveMethod> move_;
  std::map<std::string, CloseMethod> close_;
};

// What a form class gives its construction: its class name, its layouts (the base class's
// first) and its published methods.
struct FormClass {
  const unsigned char* className;
  std::vector<const Layout*> layouts;
  const MethodLookup* methods;
};

enum TFormBorderStyle { bsNone, bsSingle };
enum TPosition { poDesigned, poScreenCenter };

class TForm : public TWinControl {
 public:
  // Creates the window, hidden, and applies the class's layouts in order.
  TForm(TComponent* owner, const FormClass& formClass);
  ~TForm() override;

  const unsigned char* ClassName() const override { return className_; }
  const MethodLookup& Methods() const { return *methods_; }

  // The client area inside the frame, if the window has one.
  int ClientWidth() const override;
  int ClientHeight() const override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);

  // Shows the window (centred first for poScreenCenter).
  void Show();
  // Runs the close sequence: OnClose decides; the main form's closing ends the application.
  void Close();

  TCloseEvent OnClose;

  // The control that has the focus while the form is active, and gets it back when the form
  // is activated again; none until the form has been active.
  TControl* ActiveControl() const;
  // The next (or previous) tab stop after a control, in tab order and round, or none; the
  // first one for no control.
  TControl* FindNextControl(TControl* current, bool forward) const;
  // Moves the focus to the next (or previous) tab stop.
  void SelectNext(bool forward);
  // A key for the form rather than for the focused control: Tab and Shift+Tab move the focus,
  // Space and Enter press a focused windowless control, Enter elsewhere and Esc click the
  // default and the cancel control. Handled, true. The message is for the form or a window
  // inside it (the application's loop finds the form so); any but a key going down is left.
  bool HandleDialogKey(const MSG& message);
  // The controls whose click Enter and Esc stand for, as a dialog box's default and cancel
  // buttons; none unless set. Not owned: the form's own controls, which live as long as it.
  void SetDefaultControl(TControl* control) { defaultControl_ = control; }
  void SetCancelControl(TControl* control) { cancelControl_ = control; }
  TControl* DefaultControl() const override { return defaultControl_; }
  TControl* CancelControl() const override { return cancelControl_; }

  bool SetProperty(const std::string& name, const std::string& value) override;
  // A form goes by the application's title; its caption is never shown.
  std::string DefaultAccessibleName() const override;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Follows the focus: the control that gained it is the one to give it back to.
  void ChildFocused(TControl* control) override;
  // While the layouts are applied, the window keeps still (and they see the client area that
  // their bounds give): it takes its bounds once, at the end, rather than at each of the many
  // properties that move it.
  void BoundsChanged() override;

 private:
  void Center();
  SIZE ClientSize() const;
  bool IsMainForm() const;
  bool Contains(const TControl* control) const;
  // The form's control that has the keyboard focus now, or none.
  TControl* FocusedControl() const;
  // The control that the form's focus goes to: the one last focused, else the first tab stop.
  TControl* ControlToFocus() const;
  // Gives that control the focus; false when there is none.
  bool FocusItsControl();
  bool TabKey(const MSG& message);
  bool ClickKey(TControl* control, const MSG& message);

  const unsigned char* className_;
  const MethodLookup* methods_;
  std::string caption_;
  TFormBorderStyle borderStyle_ = bsSingle;
  TPosition position_ = poDesigned;
  bool centred_ = false;
  bool laidOut_ = false;  // its layouts applied: the window follows its bounds from then on
  TControl* activeControl_ = nullptr;  // one of the form's controls; not owned
  TControl* defaultControl_ = nullptr;
  TControl* cancelControl_ = nullptr;
};
