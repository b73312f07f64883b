// A file written beside its final place and moved over it only when complete, so that a failed
// write never damages an earlier file of the same name.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

class StagedFile {
 public:
  StagedFile() = default;
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;
  // Removes the staging file unless Commit succeeded.
  ~StagedFile();

  // Creates the staging file next to finalPath; false when it cannot be created.
  bool Create(const std::string& finalPath);
  // False on a short write; once a write failed, Commit fails too.
  bool Write(const void* data, std::size_t size);
  enum class CommitResult { kCommitted, kWriteFailed, kReplaceFailed };
  // Flushes (on Windows to the disk), closes the staging file and moves it over the final
  // file; a read-only final file or a folder of its name fails at once. On failure the
  // staging file is removed and the final file is left as it was.
  CommitResult Commit();

 private:
  void Discard();

  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;  // the stream's buffer: large writes keep system calls few
  std::string finalPath_;
  std::string stagingPath_;
  bool failed_ = false;
};

// Moves from over to, replacing an existing file; false when the move failed. On Windows a
// move refused because another program holds one of the files is tried again for a second.
bool ReplaceFileWith(const std::string& from, const std::string& to);
