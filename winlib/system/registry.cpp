#include "winlib/system/registry.h"

#include <vector>

#include "winlib/system/exception.h"

void TRegistry::SetRootKey(HKEY root) {
  CloseKey();
  root_ = root;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  const HKEY base = current_ ? current_.Get() : root_;
  ScopedRegistryKey opened;
  LONG result;
  if (canCreate) {
    result = RegCreateKeyExA(base, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_,
                             nullptr, opened.Put(), nullptr);
  } else {
    result = RegOpenKeyExA(base, key.c_str(), 0, access_, opened.Put());
  }
  if (result != ERROR_SUCCESS) return false;
  current_ = std::move(opened);
  return true;
}

void TRegistry::CloseKey() {
  current_.Reset();
}

std::string TRegistry::ReadString(const std::string& name) const {
  std::string text;
  DWORD type = 0;
  switch (TryReadString(name, &text, &type)) {
    case ReadResult::kText:
      return text;
    case ReadResult::kMissing:
      return std::string();
    case ReadResult::kNotText:
      break;
  }
  throw ERegistryException("Invalid data type for '" + name + "'");
}

TRegistry::ReadResult TRegistry::TryReadString(const std::string& name, std::string* text,
                                               DWORD* type) const {
  if (!current_) return ReadResult::kMissing;
  const char* valueName = name.empty() ? nullptr : name.c_str();
  DWORD size = 0;
  LONG result = RegQueryValueExA(current_.Get(), valueName, nullptr, type, nullptr, &size);
  std::vector<char> data;
  // The value may grow between two calls; read until it fits.
  while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
    if (*type != REG_SZ && *type != REG_EXPAND_SZ) return ReadResult::kNotText;
    data.assign(size + 1, '\0');
    result = RegQueryValueExA(current_.Get(), valueName, nullptr, type,
                              reinterpret_cast<BYTE*>(data.data()), &size);
    if (result == ERROR_SUCCESS) break;
  }
  if (result == ERROR_FILE_NOT_FOUND) return ReadResult::kMissing;
  if (result != ERROR_SUCCESS || (*type != REG_SZ && *type != REG_EXPAND_SZ)) {
    return ReadResult::kNotText;
  }
  // The stored text ends at its first NUL, which the stored size usually includes.
  data.resize(size);
  const std::string all(data.begin(), data.end());
  *text = all.substr(0, all.find('\0'));
  return ReadResult::kText;
}
