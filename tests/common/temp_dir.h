// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <string>

#ifdef _WIN32
inline constexpr char kSep = '\\';
#else
inline constexpr char kSep = '/';
#endif

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder, ending in the platform's separator.
  const std::string& Path() const { return path_; }
  // A path inside the folder; forward slashes in name become the platform's separator.
  std::string operator/(const std::string& name) const;

 private:
  std::string path_;
};

bool MakeDir(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool ReadFileBytes(const std::string& path, std::string* bytes);
bool PathExists(const std::string& path);
void RemoveTree(const std::string& path);
