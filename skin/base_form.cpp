#include "skin/base_form.h"

#include <typeinfo>

#include "core/string_helpers.h"
#include "desktop/large_fonts.h"
#include "forms/layouts.h"
#include "skin/link_group.h"
#include "winlib/controls/image.h"
#include "winlib/system/startup_trace.h"

const char* const kSkinRoot = "";

namespace {

constexpr int kStripHeight = 36;   // rows 0 to 36 from the top edge drag the window
constexpr int kCloseColumns = 30;  // a small window's rightmost columns stay client area
constexpr int kLargeWidth = 780, kLargeHeight = 380;
constexpr int kLargeStripWidth = 640;  // a large window drags by its columns 0 to 640

const FormClass& BaseFormClass() {
  static const FormClass formClass = {reinterpret_cast<const unsigned char*>("\x09TBaseForm"),
                                      {&BaseFormLayout()},
                                      &TBaseForm::PublishedMethods()};
  return formClass;
}

}  // namespace

const MethodLookup& TBaseForm::PublishedMethods() {
  static const MethodTable<TBaseForm> table = [] {
    MethodTable<TBaseForm> t;
    t.Publish("FormClose", &TBaseForm::FormClose)
        .Publish("FormMouseMove", &TBaseForm::FormMouseMove)
        .Publish("btBaseMouseDown", &TBaseForm::btBaseMouseDown)
        .Publish("btBaseMouseMove", &TBaseForm::btBaseMouseMove)
        .Publish("btBaseMouseUp", &TBaseForm::btBaseMouseUp)
        .Publish("lkBaseMouseDown", &TBaseForm::lkBaseMouseDown)
        .Publish("lkBaseMouseMove", &TBaseForm::lkBaseMouseMove)
        .Publish("lkBaseMouseUp", &TBaseForm::lkBaseMouseUp);
    return t;
  }();
  return table;
}

TBaseForm::TBaseForm(TComponent* owner) : TForm(owner, BaseFormClass()) {
  Construct();
}

TBaseForm::TBaseForm(TComponent* owner, const FormClass& formClass) : TForm(owner, formClass) {
  Construct();
}

TBaseForm::~TBaseForm() = default;

void TBaseForm::Construct() {
  btBase = dynamic_cast<TImage*>(FindComponent("btBase"));
  // The class name's first character (the T) is dropped, whatever it is.
  const std::string className = ShortStringToString(ClassName());
  skinFolder_ = kSkinRoot + className.substr(className.empty() ? 0 : 1);
  links_ = nullptr;
  AdjustForLargeFonts(this, true);
  buttons_.SetFolders(skinFolder_ + "\\", std::string(kSkinRoot) + "common\\");
  RegisterSkinButtons();
  StartupMark("skin buttons registered");
}

void TBaseForm::RegisterSkinButtons() {
  for (int i = 0; i < ComponentCount(); ++i) {
    TComponent* component = Components(i);
    // Exactly the picture control: a derived class never qualifies, even one that does not
    // give itself a class name of its own.
    if (ShortStringToString(component->ClassName()) != "TImage") continue;
    if (typeid(*component) != typeid(TImage)) continue;
    if (component->Name().find("bt") != 0) continue;
    auto* button = static_cast<TImage*>(component);
    button->OnMouseMove = [this](TObject* sender, TShiftState shift, int x, int y) {
      btBaseMouseMove(sender, shift, x, y);
    };
    button->OnMouseDown = [this](TObject* sender, TMouseButton b, TShiftState shift, int x, int y) {
      btBaseMouseDown(sender, b, shift, x, y);
    };
    button->OnMouseUp = [this](TObject* sender, TMouseButton b, TShiftState shift, int x, int y) {
      btBaseMouseUp(sender, b, shift, x, y);
    };
    buttons_.AddButton(button);
  }
}

void TBaseForm::FormClose(TObject*, TCloseAction& action) {
  action = caFree;
}

void TBaseForm::FormMouseMove(TObject*, TShiftState, int, int) {
  buttons_.RestoreHovered();
  if (links_ != nullptr) links_->ClearHoveredLink();
}

void TBaseForm::btBaseMouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
  buttons_.ButtonMouseDown(static_cast<TImage*>(sender));
}

void TBaseForm::btBaseMouseMove(TObject* sender, TShiftState, int, int) {
  buttons_.ButtonMouseMove(static_cast<TImage*>(sender));
}

void TBaseForm::btBaseMouseUp(TObject* sender, TMouseButton, TShiftState, int, int) {
  buttons_.ButtonMouseUp(static_cast<TImage*>(sender));
}

void TBaseForm::lkBaseMouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
  if (links_ != nullptr) links_->LinkMouseDown(static_cast<TControl*>(sender));
}

void TBaseForm::lkBaseMouseMove(TObject* sender, TShiftState, int, int) {
  if (links_ != nullptr) links_->LinkMouseMove(static_cast<TControl*>(sender));
}

void TBaseForm::lkBaseMouseUp(TObject* sender, TMouseButton, TShiftState, int, int) {
  if (links_ != nullptr) links_->LinkMouseUp(static_cast<TControl*>(sender));
}

void TBaseForm::WMNCHitTest(TWMNCHitTest& message) {
  const int x = message.XPos, y = message.YPos;
  if (Width() >= kLargeWidth && Height() >= kLargeHeight) {
    message.Result =
        (y - Top() <= kStripHeight && x - Left() <= kLargeStripWidth) ? HTCAPTION : HTCLIENT;
  } else if (Left() + Width() - x <= kCloseColumns) {
    message.Result = HTCLIENT;
  } else {
    message.Result = y - Top() <= kStripHeight ? HTCAPTION : HTCLIENT;
  }
}

LRESULT TBaseForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCHITTEST) {
    TWMNCHitTest hitTest = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)),
                            0};
    WMNCHitTest(hitTest);
    return hitTest.Result;
  }
  return TForm::WndProc(message, wParam, lParam);
}
