#include "core/staged_file.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

namespace {
constexpr std::size_t kStreamBuffer = 1 << 20;
#ifdef _WIN32
constexpr int kReplaceAttempts = 21;  // the first, then retries for a second
constexpr DWORD kReplaceRetryMilliseconds = 50;

// A target that no wait can make replaceable: a read-only file, or a folder of that name.
bool NeverReplaceable(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
}
#endif

// Asks the system to put the written data on the disk before the file takes the final name:
// a rename is recorded on its own, so without this a power cut could leave the final name
// on a file whose data never reached the disk.
bool FlushToDisk(std::FILE* file) {
#ifdef _WIN32
  return _commit(_fileno(file)) == 0;
#else
  (void)file;  // the command-line converter leaves it to the file system
  return true;
#endif
}
}  // namespace

StagedFile::~StagedFile() {
  Discard();
}

bool StagedFile::Create(const std::string& finalPath) {
  Discard();
  finalPath_ = finalPath;
  stagingPath_ = finalPath + ".tmp";
  file_ = std::fopen(stagingPath_.c_str(), "wb");
  if (file_ == nullptr) return false;
  // Left uninitialised: the stream fills only what it writes, so a small book touches little.
  if (!buffer_) buffer_.reset(new char[kStreamBuffer]);
  std::setvbuf(file_, buffer_.get(), _IOFBF, kStreamBuffer);
  failed_ = false;
  return true;
}

bool StagedFile::Write(const void* data, std::size_t size) {
  if (file_ == nullptr || failed_) return false;
  if (std::fwrite(data, 1, size, file_) != size) failed_ = true;
  return !failed_;
}

StagedFile::CommitResult StagedFile::Commit() {
  if (file_ == nullptr) return CommitResult::kWriteFailed;
  bool written = !failed_ && std::fflush(file_) == 0 && !std::ferror(file_) && FlushToDisk(file_);
  written = (std::fclose(file_) == 0) && written;
  file_ = nullptr;
  CommitResult result = CommitResult::kWriteFailed;
  if (written) {
    result = ReplaceFileWith(stagingPath_, finalPath_) ? CommitResult::kCommitted
                                                       : CommitResult::kReplaceFailed;
  }
  if (result != CommitResult::kCommitted) std::remove(stagingPath_.c_str());
  stagingPath_.clear();
  return result;
}

void StagedFile::Discard() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!stagingPath_.empty()) {
    std::remove(stagingPath_.c_str());
    stagingPath_.clear();
  }
}

bool ReplaceFileWith(const std::string& from, const std::string& to) {
#ifdef _WIN32
  // A virus scanner or an indexer opens a new file for a moment, and so may the study program
  // the earlier one: a move refused while a file is held is tried again for about a second.
  // Windows refuses to replace these, and waiting changes nothing.
  if (NeverReplaceable(to)) return false;
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    const DWORD error = GetLastError();
    const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
                      error == ERROR_LOCK_VIOLATION;
    if (!held || attempt >= kReplaceAttempts) return false;
    Sleep(kReplaceRetryMilliseconds);
  }
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}
