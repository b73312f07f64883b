#include "winlib/application/layout.h"

#include <functional>
#include <map>

#include "core/string_helpers.h"
#include "winlib/application/form.h"
#include "winlib/controls/bevel.h"
#include "winlib/controls/image.h"
#include "winlib/controls/label.h"
#include "winlib/controls/list_box.h"
#include "winlib/controls/panel.h"
#include "winlib/system/exception.h"

namespace {

using Factory = std::function<TControl*(TComponent* owner)>;

std::map<std::string, Factory>& Factories() {
  static std::map<std::string, Factory> factories = {
      {"TImage", [](TComponent* o) { return new TImage(o); }},
      {"TLabel", [](TComponent* o) { return new TLabel(o); }},
      {"TBevel", [](TComponent* o) { return new TBevel(o); }},
      {"TPanel", [](TComponent* o) { return new TPanel(o); }},
      {"TListBox", [](TComponent* o) { return new TListBox(o); }},
  };
  return factories;
}

bool IsEvent(const std::string& name) {
  return name.compare(0, 2, "On") == 0;
}

// A layout stores its positions, sizes and font heights for the screen resolution named by
// its PixelsPerInch; on a screen of another resolution they are scaled as they are applied,
// by the screen's pixels per inch over the stored ones. Without PixelsPerInch nothing is
// scaled.
class Scaling {
 public:
  explicit Scaling(const Layout& layout) {
    for (const LayoutProperty& p : layout.properties) {
      if (p.name == "PixelsPerInch") stored_ = IntFromText(p.name, p.value);
    }
    if (stored_ > 0) screen_ = ScreenPixelsPerInch();
  }

  // The value to apply: scaled when the property is one that follows the resolution.
  std::string Value(bool isForm, const LayoutProperty& p) const {
    if (stored_ <= 0 || screen_ == stored_ || !Scales(isForm, p.name)) return p.value;
    return std::to_string(MulDiv(IntFromText(p.name, p.value), screen_, stored_));
  }

 private:
  // The form keeps its designed place; its client area and font follow the resolution.
  static bool Scales(bool isForm, const std::string& name) {
    if (name == "Width" || name == "Height" || name == "Font.Height") return true;
    if (isForm) return name == "ClientWidth" || name == "ClientHeight";
    return name == "Left" || name == "Top";
  }

  int stored_ = 0;
  int screen_ = 0;
};

void BindEvent(TForm& form, TControl& control, const std::string& event,
               const std::string& method) {
  const MethodLookup& methods = form.Methods();
  bool bound = false;
  if (event == "OnClick") {
    bound = (control.OnClick = methods.Notify(&form, method)) != nullptr;
  } else if (event == "OnMouseDown") {
    bound = (control.OnMouseDown = methods.Mouse(&form, method)) != nullptr;
  } else if (event == "OnMouseUp") {
    bound = (control.OnMouseUp = methods.Mouse(&form, method)) != nullptr;
  } else if (event == "OnMouseMove") {
    bound = (control.OnMouseMove = methods.MouseMove(&form, method)) != nullptr;
  } else if (event == "OnClose" && &control == &form) {
    bound = (form.OnClose = methods.Close(&form, method)) != nullptr;
  } else {
    throw ELayoutError(control.Name() + ": unknown event " + event);
  }
  if (!bound) {
    throw ELayoutError(control.Name() + "." + event + ": " + ShortStringToString(form.ClassName()) +
                       " has no method " + method);
  }
}

void ApplyProperties(TForm& form, TControl& control, const std::vector<LayoutProperty>& props,
                     const Scaling& scaling) {
  for (const LayoutProperty& p : props) {
    if (IsEvent(p.name)) {
      BindEvent(form, control, p.name, p.value);
    } else if (!control.SetProperty(p.name, scaling.Value(&control == &form, p))) {
      throw ELayoutError(control.Name() + ": unknown property " + p.name);
    }
  }
}

}  // namespace

void RegisterLayoutClass(const std::string& className, TControl* (*create)(TComponent* owner)) {
  Factories()[className] = create;
}

void ApplyLayout(TForm& form, const Layout& layout) {
  form.SetName(layout.formName);
  const Scaling scaling(layout);
  ApplyProperties(form, form, layout.properties, scaling);
  for (const LayoutControl& item : layout.controls) {
    TControl* control = dynamic_cast<TControl*>(form.FindComponent(item.name));
    if (control == nullptr) {
      const auto factory = Factories().find(item.className);
      if (factory == Factories().end()) throw ELayoutError("Unknown class " + item.className);
      control = factory->second(&form);
      control->SetName(item.name);
      TWinControl* parent = &form;
      if (!item.parent.empty() && item.parent != layout.formName) {
        parent = dynamic_cast<TWinControl*>(form.FindComponent(item.parent));
        if (parent == nullptr) throw ELayoutError(item.name + ": unknown parent " + item.parent);
      }
      control->SetParent(parent);
    }
    ApplyProperties(form, *control, item.properties, scaling);
  }
}
