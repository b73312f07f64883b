#include "winlib/registry.h"

#include <vector>

#include "winlib/exception.h"

void TRegistry::SetRootKey(HKEY root) {
  CloseKey();
  root_ = root;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  const HKEY base = current_ != nullptr ? current_ : root_;
  HKEY opened = nullptr;
  LONG result;
  if (canCreate) {
    result = RegCreateKeyExA(base, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_,
                             nullptr, &opened, nullptr);
  } else {
    result = RegOpenKeyExA(base, key.c_str(), 0, access_, &opened);
  }
  if (result != ERROR_SUCCESS) return false;
  CloseKey();
  current_ = opened;
  return true;
}

void TRegistry::CloseKey() {
  if (current_ != nullptr) {
    RegCloseKey(current_);
    current_ = nullptr;
  }
}

std::string TRegistry::ReadString(const std::string& name) const {
  if (current_ == nullptr) return std::string();
  DWORD type = 0, size = 0;
  LONG result = RegQueryValueExA(current_, name.c_str(), nullptr, &type, nullptr, &size);
  if (result == ERROR_FILE_NOT_FOUND) return std::string();
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
    throw ERegistryException("Invalid data type for '" + name + "'");
  }
  std::vector<char> data(size + 1, '\0');
  // The value may grow between the two calls; read until it fits.
  while ((result = RegQueryValueExA(current_, name.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(data.data()), &size)) ==
         ERROR_MORE_DATA) {
    data.assign(size + 1, '\0');
  }
  if (result == ERROR_FILE_NOT_FOUND) return std::string();
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
    throw ERegistryException("Invalid data type for '" + name + "'");
  }
  data.resize(size);
  // The stored text ends at its first NUL, which the stored size usually includes.
  std::string text(data.begin(), data.end());
  return text.substr(0, text.find('\0'));
}
