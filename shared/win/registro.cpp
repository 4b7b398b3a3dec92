#include "shared/win/registro.h"

#include <vector>

#include "base/stringlist.h"
#include "shared/win/installpaths.h"

namespace {

std::string RelativeKey(const std::string& keyPath) {
  return !keyPath.empty() && keyPath[0] == '\\' ? keyPath.substr(1) : keyPath;
}

struct TKey {
  HKEY h = nullptr;
  TKey() = default;
  TKey(const TKey&) = delete;
  TKey& operator=(const TKey&) = delete;
  ~TKey() {
    if (h) RegCloseKey(h);
  }
};

bool OpenKey(HKEY root, const std::string& keyPath, REGSAM access, TKey& key) {
  return RegOpenKeyExA(root, RelativeKey(keyPath).c_str(), 0, access, &key.h) == ERROR_SUCCESS;
}

// The value's type and bytes; nothing when it does not exist or cannot be read.
std::optional<TRegData> QueryValue(HKEY key, const std::string& valueName) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    std::string bytes(size, '\0');
    const LONG r = RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(bytes.data()), &size);
    if (r == ERROR_MORE_DATA) continue;  // grew between the two calls
    if (r != ERROR_SUCCESS) return std::nullopt;
    bytes.resize(size);
    return TRegData{type, bytes};
  }
  return std::nullopt;
}

void DeleteKeyTree(HKEY root, const std::string& keyPath) {
  {
    TKey key;
    if (!OpenKey(root, keyPath, KEY_READ, key)) return;
    DWORD count = 0, longest = 0;
    if (RegQueryInfoKeyA(key.h, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) == ERROR_SUCCESS) {
      std::vector<std::string> children;
      std::vector<char> name(longest + 2);
      for (DWORD i = count; i-- > 0;) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(key.h, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
          children.emplace_back(name.data(), length);
      }
      for (const std::string& child : children) DeleteKeyTree(root, keyPath + "\\" + child);
    }
  }
  RegDeleteKeyA(root, keyPath.c_str());
}

}  // namespace

TLkVariant ReadRegistryValue(HKEY root, const std::string& keyPath, const std::string& valueName,
                             const TLkVariant& fallback) {
  TKey key;
  if (!OpenKey(root, keyPath, KEY_READ, key)) return fallback;
  const std::optional<TRegData> data = QueryValue(key.h, valueName);
  if (!data) return fallback;
  return DecodeRegValue(*data, fallback.Kind()).value_or(fallback);
}

bool WriteRegistryValue(const std::string& keyPath, const std::string& valueName, const TLkVariant& value,
                        HKEY root) {
  const bool existed = RegistryKeyExists(keyPath, root);
  const std::optional<TRegData> data = EncodeRegValue(value);
  if (!data) return existed;  // nothing to store: no key is created for it
  TKey key;
  if (RegCreateKeyExA(root, RelativeKey(keyPath).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key.h, nullptr) !=
      ERROR_SUCCESS)
    throw ERegistryException("Failed to create key " + keyPath);
  if (RegSetValueExA(key.h, valueName.c_str(), 0, data->Type, reinterpret_cast<const BYTE*>(data->Bytes.data()),
                     static_cast<DWORD>(data->Bytes.size())) != ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '" + valueName + "'");
  return existed;
}

void DeleteRegistryKey(const std::string& keyPath, HKEY root) {
  const std::string key = RelativeKey(keyPath);
  if (!key.empty()) DeleteKeyTree(root, key);  // never the root itself
}

bool RegistryKeyExists(const std::string& keyPath, HKEY root) {
  TKey key;
  return OpenKey(root, keyPath, KEY_READ, key);
}

std::string ReadRegistryString(HKEY root, const std::string& keyPath, const std::string& valueName) {
  TKey key;
  if (!OpenKey(root, keyPath, KEY_READ, key)) throw ELkRegistryError("Unable to open key \"" + keyPath + "\" for read");
  const std::optional<TRegData> data = QueryValue(key.h, valueName);
  const std::optional<TLkVariant> text = data ? DecodeRegValue(*data, TLkVarKind::String) : std::nullopt;
  if (!text)
    throw ELkRegistryError("Unable to open key \"" + keyPath + "\" and access value \"" + valueName + "\"");
  return text->AsString();
}

bool ReadRegistrySubkeyNames(HKEY root, const std::string& keyPath, TStringList& names) {
  names.Clear();
  TKey key;
  if (!OpenKey(root, keyPath, KEY_READ, key)) throw ELkRegistryError("Unable to open key \"" + keyPath + "\" for read");
  DWORD count = 0, longest = 0;
  if (RegQueryInfoKeyA(key.h, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr) != ERROR_SUCCESS)
    return false;
  std::vector<char> name(longest + 2);
  for (DWORD i = 0; i < count; ++i) {
    DWORD length = static_cast<DWORD>(name.size());
    if (RegEnumKeyExA(key.h, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
      names.Add(std::string(name.data(), length));
  }
  return true;
}

void SetLinkContextVerbs(bool on) {
  if (on) {
    WriteRegistryValue(std::string(kRemoveProtectionVerbKey) + "\\command", "",
                       TLkVariant(ContextPath() + " /u \"%1\""), HKEY_CLASSES_ROOT);
    WriteRegistryValue(std::string(kProtectVerbKey) + "\\command", "", TLkVariant(ContextPath() + " /p \"%1\""),
                       HKEY_CLASSES_ROOT);
  } else {
    DeleteRegistryKey(kRemoveProtectionVerbKey, HKEY_CLASSES_ROOT);
    DeleteRegistryKey(kProtectVerbKey, HKEY_CLASSES_ROOT);
  }
}

bool LinkContextVerbsPresent() { return RegistryKeyExists(kRemoveProtectionVerbKey, HKEY_CLASSES_ROOT); }
