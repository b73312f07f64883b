// Replacing a library file that another program holds open for a while, as virus scanners
// and indexers do with new files.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/lesson_conversion.h"
#include "tests/common/book_builder.h"

namespace {

// Holds a file open without delete sharing, so that it can be neither replaced nor moved,
// until the time has passed; released on a thread of its own. Writing stays shared, so that a
// staging file of that name can still be written.
class HeldFile {
 public:
  HeldFile(const std::string& path, DWORD milliseconds) : milliseconds_(milliseconds) {
    file_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
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
  // The library held (the move is refused as access denied) or the new file held, as a virus
  // scanner holds what was just written (refused as a sharing violation).
  const struct {
    bool stagingHeld;
    DWORD heldMs;
    bool replaced;
  } rows[] = {{false, 300, true}, {false, 600, true}, {false, 2500, false}, {true, 400, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.stagingHeld ? "staging file" : "library") + " held for " +
                 std::to_string(row.heldMs) + " ms");
    ASSERT_TRUE(WriteFileBytes(library, earlier));
    ConvertResult result;
    {
      HeldFile held(row.stagingHeld ? library + ".tmp" : library, row.heldMs);
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

TEST_F(FileReplace, AReadOnlyLibraryOrAFolderOfItsNameFailsAtOnce) {
  book.Lessons({"$L1", "1. a", "b"}).Timing(1, {"[00:01.00]"});
  const std::string earlier(2048 * 3, 'E');
  for (const bool folder : {false, true}) {
    SCOPED_TRACE(folder ? "a folder" : "a read-only file");
    ASSERT_TRUE(folder ? CreateDirectoryA(library.c_str(), nullptr) != FALSE
                       : WriteFileBytes(library, earlier) &&
                             SetFileAttributesA(library.c_str(), FILE_ATTRIBUTE_READONLY));
    const DWORD started = GetTickCount();
    EXPECT_EQ(ConvertBook(library, book.Folder(), book.Tag()).status,
              ConvertStatus::kReplaceFailed);
    EXPECT_LT(GetTickCount() - started, 500u) << "retried although no wait can help";
    EXPECT_FALSE(PathExists(library + ".tmp"));
    std::string bytes;
    EXPECT_TRUE(folder || (ReadFileBytes(library, &bytes) && bytes == earlier));
    SetFileAttributesA(library.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(folder ? RemoveDirectoryA(library.c_str()) : DeleteFileA(library.c_str()));
  }
}
