// The application object: the message loop, the exception display and the main form.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "winlib/component.h"
#include "winlib/exception.h"

class TForm;

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;

  void Initialize() {}
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);
  // The hidden window that carries the title as the program's taskbar entry and owns the forms.
  HWND Handle() const { return handle_; }

  // Creates a form owned by the application; the first one becomes the main form.
  template <class T, class... Args>
  void CreateForm(T*& reference, Args&&... args) {
    T* form = new T(this, std::forward<Args>(args)...);
    reference = form;
    if (mainForm_ == nullptr) mainForm_ = form;
  }
  TForm* MainForm() const { return mainForm_; }

  // Shows the main form and dispatches messages until the application is told to end.
  void Run();
  // Asks the message loop to end.
  void Terminate();
  // Minimises the program to the taskbar, its forms with it.
  void Minimize();
  // The session ends: the program ends as with its exit button.
  void EndSession();
  bool Terminated() const { return terminated_; }
  // Dispatches the messages that are waiting, then returns.
  void ProcessMessages();

  // The exception display: a message box with the title as caption and the error icon.
  void ShowException(const Exception& e);
  void HandleException(const Exception& e) { ShowException(e); }

  // Frees a form once the message that asked for it has been handled.
  void ReleaseForm(TForm* form);

 private:
  static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // The application window's own messages: closing and activation from the taskbar.
  LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool HasMainForm() const;
  // The enabled box that the main form waits for, or none.
  HWND WaitingBox() const;
  void PostActivateForms();
  void ActivateMainForm();
  // One step of every message loop: a form's own keys first, then the message's window.
  void ProcessMessage(const MSG& message);
  // Keys that the message's form takes before its focused control (Tab moves the focus).
  bool IsDialogKey(const MSG& message);
  void FreeReleasedForms();

  std::string title_;
  HWND handle_ = nullptr;
  TForm* mainForm_ = nullptr;  // owned as a component
  bool terminated_ = false;    // the quit message was taken
  bool quitPosted_ = false;
  bool activatePosted_ = false;
  bool showOnRestore_ = false;  // started minimised, the main form is not shown yet
  std::vector<TForm*> released_;
};

// The one application object of the program, while it exists.
extern TApplication* Application;

// A modal message box with the text, one OK button and no icon, captioned with the title.
void ShowMessage(const std::string& text);

// The exception's message as the exception display shows it: a full stop is appended to a
// non-empty message whose last character has a higher code than the full stop.
std::string ExceptionDisplayText(const std::string& message);
