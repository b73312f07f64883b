#include "desktop/large_fonts.h"

#include <cstring>

#include "core/large_font_math.h"
#include "core/string_helpers.h"
#include "winlib/controls/win_control.h"
#include "winlib/graphics/graphics.h"
#include "winlib/system/scoped.h"

namespace {

// The height of the desktop's system font, or 0 without a device context.
int DesktopFontHeight() {
  WindowDC desktop(GetDesktopWindow(), true);
  if (desktop.Get() == nullptr) return 0;
  const int oldMode = SetMapMode(desktop.Get(), MM_TEXT);
  TEXTMETRICA metrics = {};
  const bool ok = GetTextMetricsA(desktop.Get(), &metrics) != 0;
  SetMapMode(desktop.Get(), oldMode);
  return ok ? metrics.tmHeight : 0;
}

bool IsOneOf(const std::string& name, std::initializer_list<const char*> names) {
  for (const char* n : names) {
    if (name == n) return true;
  }
  return false;
}

}  // namespace

bool IsLargeFontDesktop() {
  return IsLargeFontHeight(DesktopFontHeight());
}

double DesktopFontScale() {
  const int height = DesktopFontHeight();
  return height == 0 ? 1.0 : FontScaleForHeight(height);
}

void AdjustForLargeFonts(TWinControl* container, bool includeSelf) {
  AdjustForLargeFontsOn(container, includeSelf, DesktopFontHeight(), ScreenPixelsPerInch());
}

void AdjustForLargeFontsOn(TWinControl* container, bool includeSelf, int systemFontHeight,
                           int pixelsPerInch) {
  if (!ShrinksForLargeFonts(systemFontHeight, pixelsPerInch)) return;
  AdjustForLargeFontsBy(container, includeSelf,
                        LargeFontDivisor(FontScaleForHeight(systemFontHeight)));
}

void AdjustForLargeFontsBy(TWinControl* container, bool includeSelf, double divisor) {
  if (includeSelf) {
    container->SetWidth(ShrinkValue(container->Width(), divisor));
    container->SetHeight(ShrinkValue(container->Height(), divisor));
  }
  for (int i = 0; i < container->ControlCount(); ++i) {
    TControl* control = container->Controls(i);
    control->SetLeft(ShrinkValue(control->Left(), divisor));
    control->SetTop(ShrinkValue(control->Top(), divisor));
    control->SetWidth(ShrinkValue(control->Width(), divisor));
    control->SetHeight(ShrinkValue(control->Height(), divisor));
    // Known by the class names of the class library's containers and text controls, as the
    // layouts store them: the library has only TPanel, TLabel and TListBox of these, but a
    // layout naming another one (if a later class brings it) shrinks the same way.
    const std::string className = ShortStringToString(control->ClassName());
    if (IsOneOf(className, {"TPanel", "TRadioGroup", "TGroupBox"})) {
      if (auto* inner = dynamic_cast<TWinControl*>(control)) {
        AdjustForLargeFontsBy(inner, false, divisor);
      }
    } else if (IsOneOf(className,
                       {"TLabel", "TListBox", "TListView", "TComboBox", "TPaintBox", "TEdit"})) {
      control->Font().SetSize(ShrinkFontSize(control->Font().Size(), divisor));
      control->FontChanged();
    }
  }
}
