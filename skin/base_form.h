// The skinned base window: image buttons with skin pictures, a drag strip along the top of
// the borderless window, link labels, and a window that is freed once closed.
#pragma once

#include <string>

#include "skin/button_group.h"
#include "winlib/application/form.h"

class CLinkGroup;
class TImage;

// The hit-test message as the base window answers it.
struct TWMNCHitTest {
  short XPos;  // screen coordinates, signed 16-bit
  short YPos;
  LRESULT Result;
};

class TBaseForm : public TForm {
 public:
  // A base window of its own class, built from the base layout.
  explicit TBaseForm(TComponent* owner);
  ~TBaseForm() override;

  TImage* btBase = nullptr;  // the hidden sample image of the base layout

  void FormClose(TObject* sender, TCloseAction& action);
  void FormMouseMove(TObject* sender, TShiftState shift, int x, int y);
  void btBaseMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void btBaseMouseMove(TObject* sender, TShiftState shift, int x, int y);
  void btBaseMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void lkBaseMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void lkBaseMouseMove(TObject* sender, TShiftState shift, int x, int y);
  void lkBaseMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

  void WMNCHitTest(TWMNCHitTest& message);

  CButtonGroup& ButtonGroup() { return buttons_; }
  // The link group is the window's only by reference: whoever gives it keeps it.
  void SetLinkGroup(CLinkGroup* links) { links_ = links; }
  const std::string& SkinFolder() const { return skinFolder_; }

  // The methods that the base window publishes to layouts; a derived window's table chains
  // to it.
  static const MethodLookup& PublishedMethods();

 protected:
  // For derived windows: their class with its layouts, the base layout first.
  TBaseForm(TComponent* owner, const FormClass& formClass);
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Construct();
  void RegisterSkinButtons();

  CButtonGroup buttons_;
  CLinkGroup* links_ = nullptr;  // not owned
  std::string skinFolder_;
};

// The prefix of the skin folders: empty, so they lie in the current directory.
extern const char* const kSkinRoot;
