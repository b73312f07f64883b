#include "winlib/layout.h"

#include <functional>
#include <map>

#include "util/string_helpers.h"
#include "winlib/bevel.h"
#include "winlib/exception.h"
#include "winlib/form.h"
#include "winlib/image.h"
#include "winlib/label.h"
#include "winlib/list_box.h"
#include "winlib/panel.h"

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

void ApplyProperties(TForm& form, TControl& control, const std::vector<LayoutProperty>& props) {
  for (const LayoutProperty& p : props) {
    if (IsEvent(p.name)) {
      BindEvent(form, control, p.name, p.value);
    } else if (!control.SetProperty(p.name, p.value)) {
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
  ApplyProperties(form, form, layout.properties);
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
    ApplyProperties(form, *control, item.properties);
  }
}
