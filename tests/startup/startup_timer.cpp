// Measures how long programs take from their start to their first window: starts each of
// them in turn, in rounds, waits until one of its top-level windows is visible with a client
// area, and ends it. Prints every program's median, least and greatest time, and its time
// against the first program's: the median of the ratios of the starts of one round (starts
// taken side by side, so that a slow moment of the machine weighs on both), with the quartiles
// of those ratios as their spread.
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

// The value below which the fraction q of the values lie, interpolated between neighbours.
double Quantile(std::vector<double> values, double q) {
  std::sort(values.begin(), values.end());
  const double at = q * static_cast<double>(values.size() - 1);
  const std::size_t below = static_cast<std::size_t>(at);
  const std::size_t above = std::min(below + 1, values.size() - 1);
  return values[below] + (values[above] - values[below]) * (at - static_cast<double>(below));
}

double Median(const std::vector<double>& values) {
  return Quantile(values, 0.5);
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
  std::printf("%d rounds; ratio: against %s in the same round, median [quartiles]\n", rounds,
              programs[0].c_str());
  for (std::size_t p = 0; p < programs.size(); ++p) {
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round)
      ratios.push_back(times[p][round] / times[0][round]);
    std::printf("%-40s median %7.1f ms  least %7.1f  greatest %7.1f  ratio x%.2f [%.2f-%.2f]\n",
                programs[p].c_str(), Median(times[p]),
                *std::min_element(times[p].begin(), times[p].end()),
                *std::max_element(times[p].begin(), times[p].end()), Median(ratios),
                Quantile(ratios, 0.25), Quantile(ratios, 0.75));
  }
  return 0;
}
