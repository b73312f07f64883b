#include "winlib/high_contrast.h"

#include <windows.h>

#include "winlib/application.h"

bool HighContrastOn() {
  if (Application != nullptr && Application->HighContrast().has_value()) {
    return *Application->HighContrast();
  }
  HIGHCONTRASTA setting = {};
  setting.cbSize = sizeof setting;
  return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) &&
         (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}
