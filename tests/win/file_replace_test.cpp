// Replacing a library file that another program holds open for a while, as virus scanners
// and indexers do with new files.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/lesson_conversion.h"
#include "tests/common/book_builder.h"

namespace {

// Holds a file open without delete sharing, so that it cannot be replaced, until the time
// has passed; released on a thread of its own.
class HeldFile {
 public:
  HeldFile(const std::string& path, DWORD milliseconds) : milliseconds_(milliseconds) {
    file_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ != INVALID_HANDLE_VALUE) {
      thread_ = CreateThread(nullptr, 0, &HeldFile::Release, this, 0, nullptr);
    }
  }
  ~HeldFile() {
    if (thread_ != nullptr) {
      WaitForSingleObject(thread_, INFINITE);
      CloseHandle(thread_);
    } else if (file_ != INVALID_HANDLE_VALUE) {
      CloseHandle(file_);
    }
  }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

  bool Held() const { return thread_ != nullptr; }

 private:
  static DWORD WINAPI Release(void* self) {
    auto* held = static_cast<HeldFile*>(self);
    Sleep(held->milliseconds_);
    CloseHandle(held->file_);
    return 0;
  }

  HANDLE file_ = INVALID_HANDLE_VALUE;
  HANDLE thread_ = nullptr;
  DWORD milliseconds_;
};

class FileReplace : public BookTest {};

}  // namespace

TEST_F(FileReplace, ALibraryHeldForAMomentIsReplacedAndOneHeldLongerStaysWhole) {
  book.Lessons({"$L1", "1. a", "b"}).Timing(1, {"[00:01.00]"});
  const std::string earlier(2048 * 3, 'E');
  const struct {
    DWORD heldMs;
    bool replaced;
  } rows[] = {{300, true}, {600, true}, {2500, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE("held for " + std::to_string(row.heldMs) + " ms");
    ASSERT_TRUE(WriteFileBytes(library, earlier));
    ConvertResult result;
    {
      HeldFile held(library, row.heldMs);
      ASSERT_TRUE(held.Held());
      result = ConvertBook(library, book.Folder(), book.Tag());
    }
    EXPECT_EQ(result.status == ConvertStatus::kOk, row.replaced);
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(library, &bytes));
    if (row.replaced) {
      EXPECT_EQ(ReadLibrary(library).size(), 2u);
    } else {
      EXPECT_EQ(result.status, ConvertStatus::kReplaceFailed);
      EXPECT_EQ(bytes, earlier);  // the earlier file is whole
    }
    EXPECT_FALSE(PathExists(library + ".tmp"));
  }
}
