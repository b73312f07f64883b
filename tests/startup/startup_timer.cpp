// Measures how long programs take from their start to their first window: starts each of
// them in turn, in rounds, waits until one of its top-level windows is visible with a client
// area, and ends it. Prints every program's median, least and greatest time, and its median
// against the first program's.
//
//   startup_timer ROUNDS PROGRAM...
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Search {
  DWORD process;
  bool found;
};

BOOL CALLBACK FindShownWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  RECT client = {};
  if (process == search->process && IsWindowVisible(window) && GetClientRect(window, &client) &&
      client.right > 0 && client.bottom > 0) {
    search->found = true;
    return FALSE;
  }
  return TRUE;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

// Milliseconds to the program's first window, or a negative number when it showed none
// within 30 seconds.
double TimeToFirstWindow(const std::string& program) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::string command = "\"" + program + "\"";
  LARGE_INTEGER start, now;
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    return -1;
  }
  double elapsed = -1;
  for (;;) {
    Search search = {pi.dwProcessId, false};
    EnumWindows(FindShownWindow, reinterpret_cast<LPARAM>(&search));
    QueryPerformanceCounter(&now);
    if (search.found) {
      elapsed = Seconds(start, now) * 1000;
      break;
    }
    if (Seconds(start, now) > 30 || WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) break;
  }
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return elapsed;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_timer ROUNDS PROGRAM...\n");
    return 2;
  }
  const int rounds = std::atoi(argv[1]);
  std::vector<std::string> programs(argv + 2, argv + argc);
  std::vector<std::vector<double>> times(programs.size());
  for (std::size_t p = 0; p < programs.size(); ++p) TimeToFirstWindow(programs[p]);  // warm-up
  for (int round = 0; round < rounds; ++round) {
    for (std::size_t p = 0; p < programs.size(); ++p) {
      const double ms = TimeToFirstWindow(programs[p]);
      if (ms < 0) {
        std::fprintf(stderr, "%s showed no window\n", programs[p].c_str());
        return 1;
      }
      times[p].push_back(ms);
    }
  }
  const double base = Median(times[0]);
  for (std::size_t p = 0; p < programs.size(); ++p) {
    std::printf("%-40s median %7.1f ms  least %7.1f  greatest %7.1f  x%.2f\n", programs[p].c_str(),
                Median(times[p]), *std::min_element(times[p].begin(), times[p].end()),
                *std::max_element(times[p].begin(), times[p].end()), Median(times[p]) / base);
  }
  return 0;
}
