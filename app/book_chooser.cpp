#include "app/book_chooser.h"

#include <windows.h>

namespace {
constexpr UINT kChooserTimeoutMilliseconds = 2000;
}  // namespace

void TellBookChooser() {
  const HWND chooser = FindWindowA(nullptr, kBookChooserTitle);
  if (chooser == nullptr) return;
  DWORD_PTR answer = 0;
  if (SendMessageTimeoutA(chooser, kLibraryChangedMessage, 0, 0, SMTO_ABORTIFHUNG,
                          kChooserTimeoutMilliseconds, &answer) == 0) {
    OutputDebugStringA("The study program's book chooser did not answer in time.\n");
  }
}
