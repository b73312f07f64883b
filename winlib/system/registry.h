// The registry class: opens keys below a root and reads string values.
#pragma once

#include <windows.h>

#include <string>

#include "winlib/system/scoped.h"

class TRegistry {
 public:
  // Opens with the given access (full access by default), below HKEY_CURRENT_USER.
  explicit TRegistry(REGSAM access = KEY_ALL_ACCESS) : access_(access) {}
  ~TRegistry() { CloseKey(); }
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  void SetRootKey(HKEY root);
  HKEY CurrentKey() const { return current_.Get(); }

  // Opens a key relative to the current key (or to the root when none is open), creating it
  // when canCreate is set; the opened key becomes the current key. False when it failed.
  bool OpenKey(const std::string& key, bool canCreate);
  void CloseKey();

  // The value as text; a missing value reads as empty. A value of another type than
  // REG_SZ or REG_EXPAND_SZ throws ERegistryException.
  std::string ReadString(const std::string& name) const;

  enum class ReadResult { kText, kMissing, kNotText };
  // The same read without an exception: the text and its type (REG_SZ or REG_EXPAND_SZ) for
  // kText. An empty name reads the key's default value.
  ReadResult TryReadString(const std::string& name, std::string* text, DWORD* type) const;

 private:
  HKEY root_ = HKEY_CURRENT_USER;
  ScopedRegistryKey current_;
  REGSAM access_;
};
