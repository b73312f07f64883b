// The least window program: registers a class, shows one window and runs the message loop.
// The yardstick of the start-up measurement (scripts/measure-startup), and of the DLLs that
// the system loads into every program with a window (tests/win/e2e_test.cpp).
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
  // The marks that scripts/startup-breakdown reads; without a debugger they cost nothing.
  if (message == WM_PAINT) OutputDebugStringA("startup: painted: Least window\n");
  return result;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  OutputDebugStringA("startup: WinMain\n");
  WNDCLASSA wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "LeastWindow";
  if (RegisterClassA(&wc) == 0) return 1;
  const HWND window =
      CreateWindowExA(0, "LeastWindow", "Least window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                      CW_USEDEFAULT, 522, 382, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, show);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
