// A form for the component library's tests: its methods record the events they receive.
#pragma once

#include <string>
#include <vector>

#include "winlib/application/form.h"
#include "winlib/application/layout.h"

class TTestForm : public TForm {
 public:
  TTestForm(TComponent* owner, const Layout& layout);

  std::vector<std::string> events;
  TCloseAction closeAction = caFree;

  void ControlClick(TObject* sender);
  void ControlMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void ControlMouseMove(TObject* sender, TShiftState shift, int x, int y);
  void ControlMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void FormMouseMove(TObject* sender, TShiftState shift, int x, int y);
  void FormClose(TObject* sender, TCloseAction& action);
  void CloseClick(TObject* sender);
  void ThrowClick(TObject* sender);

  template <class T>
  T* Find(const std::string& name) {
    return dynamic_cast<T*>(FindComponent(name));
  }

 private:
  static const MethodTable<TTestForm>& Methods();
};

// Writes a 24-bit bitmap file of one colour.
bool WriteSolidBitmap(const std::string& path, int width, int height, COLORREF color);
