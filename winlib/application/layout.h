// Stored layouts: a form's properties and its controls with their properties and event
// bindings, all by name.
#pragma once

#include <string>
#include <vector>

struct LayoutProperty {
  std::string name;
  std::string value;
};

struct LayoutControl {
  std::string name;
  std::string className;
  std::string parent;  // empty: the form itself
  std::vector<LayoutProperty> properties;
};

struct Layout {
  std::string formName;
  std::vector<LayoutProperty> properties;  // of the form
  std::vector<LayoutControl> controls;     // in stored order
};

class TComponent;
class TControl;
class TForm;

// Makes a further control class known to layouts by its class name.
void RegisterLayoutClass(const std::string& className, TControl* (*create)(TComponent* owner));

// Creates the controls of a layout on a form (or updates those it already has, for a layout
// over its base's), sets their properties and binds their events to the form's methods.
// A layout with a PixelsPerInch other than the screen's has its positions, sizes and font
// heights scaled to the screen.
// Throws ELayoutError for an unknown class, property, parent or method.
void ApplyLayout(TForm& form, const Layout& layout);
