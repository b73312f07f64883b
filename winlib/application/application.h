// The application object: the title, the forms and the message loop. The program window stands
// for the program on the taskbar (winlib/application/program_window.h); message boxes and the
// exception display (winlib/system/message_box.h) get their caption and owner from here.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "winlib/controls/component.h"
#include "winlib/system/exception.h"
#include "winlib/system/message_box.h"

class TForm;
class TProgramWindow;

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);
  // The program window, or none when it could not be made (the forms then have no owner).
  TProgramWindow* ProgramWindow() const { return programWindow_.get(); }
  HWND Handle() const;

  // Creates a form owned by the application; the first one becomes the main form.
  template <class T, class... Args>
  void CreateForm(T*& reference, Args&&... args) {
    T* form = new T(this, std::forward<Args>(args)...);
    reference = form;
    if (mainForm_ == nullptr) SetMainForm(form, form->Handle());
  }
  TForm* MainForm() const { return mainForm_; }

  // Shows the main form and dispatches messages until the application is told to end.
  void Run();
  // Asks the message loop to end.
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Dispatches the messages that are waiting, then returns.
  void ProcessMessages();

  // The exception display: a message box with the title as caption and the error icon.
  void ShowException(const Exception& e);

  // Frees a form once the message that asked for it has been handled.
  void ReleaseForm(TForm* form);
  // A form is being destroyed: the application forgets it.
  void FormDestroyed(TForm* form);

 private:
  // One step of every message loop: a key for a form first, then the message's window.
  void ProcessMessage(const MSG& message);
  // Lets the form of a key's window act on it (Tab moves the focus, Enter and Esc click);
  // true when the form took it.
  bool TranslateFormKey(const MSG& message);
  void FreeReleasedForms();
  // The main form, and its window as the message boxes' owner.
  void SetMainForm(TForm* form, HWND window);

  std::string title_;
  std::unique_ptr<TProgramWindow> programWindow_;
  TForm* mainForm_ = nullptr;  // owned as a component
  bool terminated_ = false;    // the quit message was taken
  bool quitPosted_ = false;
  std::vector<TForm*> released_;
};

// The one application object of the program, while it exists.
extern TApplication* Application;
