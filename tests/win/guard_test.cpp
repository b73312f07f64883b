// Guarded, where the system calls us: whatever is raised is shown with a text, never an empty
// box, and the program goes on.
#include "winlib/system/guarded.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "winlib/system/message_box.h"

TEST(Guarded, EveryErrorIsShownWithAText) {
  std::vector<std::string> shown;
  const MessageBoxDisplayOverride display(
      [&](HWND, const std::string& text, const std::string&, UINT) {
        shown.push_back(text);
        return IDOK;
      });
  Guarded([] { throw Exception("handler failed"); });
  Guarded([] { throw std::bad_alloc(); });
  Guarded([] { throw std::runtime_error(""); });
  Guarded([] { throw 7; });
  EXPECT_EQ(shown, (std::vector<std::string>{"handler failed.", "Out of memory.", "Unknown error.",
                                             "Unknown error."}));
}
