// A stand-in for the study program, for the tests and the demo: a window titled "Orvel2选书"
// that records every library-changed message it receives, and lists the library files of its
// booklib\user\ folder with their lessons and sentences. Its file name is qelto.exe, so that
// the import tool takes the folder it lies in for the study program's folder. Started with
// "--busy-ms N", it stands for a busy study program: it takes N milliseconds over each
// library-changed message before it records it; with "--hang-ms N", for a hung one, it looks
// at no message for N milliseconds once its window shows.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/library_reader.h"

namespace {

constexpr char kTitle[] = "Orvel2选书";
constexpr UINT kLibraryChanged = 3246;

std::string OwnFolder() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

// One line per library file and one per lesson in it.
std::vector<std::string> DescribeLibrary(const std::string& folder) {
  std::vector<std::string> lines;
  WIN32_FIND_DATAA data;
  const HANDLE find = FindFirstFileA((folder + "booklib\\user\\*.dat").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return {"(no library files)"};
  do {
    LibraryFileReader reader;
    const std::string name = data.cFileName;
    if (!reader.Open(folder + "booklib\\user\\" + name)) {
      lines.push_back(name + ": " + LibraryReadStatusText(reader.GetStatus()));
      continue;
    }
    std::vector<std::string> lessons;
    std::vector<int> sentences;
    LibraryEntry entry;
    int total = 0;
    while (reader.Next(&entry)) {
      if (entry.kind == RecordKind::kHeader) {
        lessons.push_back(entry.texts[1]);
        sentences.push_back(0);
      } else if (entry.kind == RecordKind::kSentence && !sentences.empty()) {
        ++sentences.back();
        ++total;
      }
    }
    if (reader.GetStatus() != LibraryFileReader::Status::kOk) {
      lines.push_back(name + ": " + LibraryReadStatusText(reader.GetStatus()));
      continue;
    }
    lines.push_back(name + ": " + std::to_string(lessons.size()) + " lessons, " +
                    std::to_string(total) + " sentences");
    for (std::size_t i = 0; i < lessons.size(); ++i) {
      lines.push_back("    " + lessons[i] + ": " + std::to_string(sentences[i]) + " sentences");
    }
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return lines;
}

class StandIn {
 public:
  StandIn(HINSTANCE instance, DWORD busyMs, DWORD hangMs)
      : folder_(OwnFolder()), busyMs_(busyMs), hangMs_(hangMs) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &StandIn::Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "ZembraStudyStandIn";
    RegisterClassA(&wc);
    window_ = CreateWindowExA(0, wc.lpszClassName, kTitle, WS_OVERLAPPEDWINDOW, 20, 20, 460, 300,
                              nullptr, nullptr, instance, this);
  }

  int Run() {
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    Refresh();
    if (hangMs_ > 0) Sleep(hangMs_);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    return 0;
  }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      SetWindowLongPtrA(
          window, GWLP_USERDATA,
          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<StandIn*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr) return self->Handle(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
  }

  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_CREATE:
        list_ = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0,
                                100, 100, window, nullptr, nullptr, nullptr);
        SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                     FALSE);
        return 0;
      case WM_SIZE:
        MoveWindow(list_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
      case kLibraryChanged:
        if (busyMs_ > 0) Sleep(busyMs_);
        Record(wParam, lParam);
        Refresh();
        return 0;
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
      default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
  }

  // Appends "order<TAB>milliseconds since start<TAB>3246<TAB>wParam<TAB>lParam".
  void Record(WPARAM wParam, LPARAM lParam) {
    ++received_;
    if (std::FILE* f = std::fopen((folder_ + "messages.log").c_str(), "ab")) {
      std::fprintf(f, "%d\t%lu\t%u\t%llu\t%lld\n", received_,
                   static_cast<unsigned long>(GetTickCount() - started_), kLibraryChanged,
                   static_cast<unsigned long long>(wParam), static_cast<long long>(lParam));
      std::fclose(f);
    }
  }

  // Shows the library in the window and writes the same lines to library.txt.
  void Refresh() {
    SendMessageA(list_, LB_RESETCONTENT, 0, 0);
    std::FILE* f = std::fopen((folder_ + "library.txt").c_str(), "wb");
    for (const std::string& line : DescribeLibrary(folder_)) {
      SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
      if (f != nullptr) std::fprintf(f, "%s\r\n", line.c_str());
    }
    if (f != nullptr) std::fclose(f);
  }

  std::string folder_;
  HWND window_ = nullptr;
  HWND list_ = nullptr;
  DWORD busyMs_ = 0;
  DWORD hangMs_ = 0;
  int received_ = 0;
  DWORD started_ = GetTickCount();
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  const auto option = [commandLine](const char* name) -> DWORD {
    const char* at = std::strstr(commandLine, name);
    return at != nullptr ? std::strtoul(at + std::strlen(name), nullptr, 10) : 0;
  };
  StandIn standIn(instance, option("--busy-ms "), option("--hang-ms "));
  return standIn.Run();
}
