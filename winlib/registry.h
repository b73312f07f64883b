// The registry class: opens keys below a root and reads string values.
#pragma once

#include <windows.h>

#include <string>

class TRegistry {
 public:
  // Opens with the given access (full access by default), below HKEY_CURRENT_USER.
  explicit TRegistry(REGSAM access = KEY_ALL_ACCESS) : access_(access) {}
  ~TRegistry() { CloseKey(); }
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey() const { return root_; }
  void SetRootKey(HKEY root);
  HKEY CurrentKey() const { return current_; }

  // Opens a key relative to the current key (or to the root when none is open), creating it
  // when canCreate is set; the opened key becomes the current key. False when it failed.
  bool OpenKey(const std::string& key, bool canCreate);
  void CloseKey();

  // The value as text; a missing value reads as empty. A value of another type than
  // REG_SZ or REG_EXPAND_SZ throws ERegistryException.
  std::string ReadString(const std::string& name) const;

 private:
  HKEY root_ = HKEY_CURRENT_USER;
  HKEY current_ = nullptr;  // owned
  REGSAM access_;
};
