// Typed registry values, the strict readers of the user enumeration and the
// two Explorer verbs on link files. Key paths are relative to the root key;
// a leading "\" is allowed.
#pragma once

#include <windows.h>

#include <string>

#include "shared/core/errors.h"
#include "shared/core/regkinds.h"

class TStringList;

// A failure to create a key or to write a value ("Failed to set data for
// '<name>'").
class ERegistryException : public Exception {
 public:
  using Exception::Exception;
};

// The value read as the kind of `fallback`; the fallback when the key or
// value is missing, has another type or size, or the kind is not stored.
TLkVariant ReadRegistryValue(HKEY root, const std::string& keyPath, const std::string& valueName,
                             const TLkVariant& fallback);
// Writes the value by its kind (creating the key and its parents); answers
// whether the key existed before. An unstored kind writes nothing and
// removes a key this call created.
bool WriteRegistryValue(const std::string& keyPath, const std::string& valueName, const TLkVariant& value,
                        HKEY root = HKEY_LOCAL_MACHINE);
// Deletes the key with its subkeys and values; a missing key is left alone.
void DeleteRegistryKey(const std::string& keyPath, HKEY root = HKEY_LOCAL_MACHINE);
bool RegistryKeyExists(const std::string& keyPath, HKEY root = HKEY_LOCAL_MACHINE);

// REG_SZ or REG_EXPAND_SZ (unexpanded), cut at the first NUL. Raises
// ELkRegistryError "Unable to open key "<key>" for read" or
// "Unable to open key "<key>" and access value "<value>"".
std::string ReadRegistryString(HKEY root, const std::string& keyPath, const std::string& valueName);
// The subkey names in index order; false when the key cannot be queried.
// Raises ELkRegistryError when the key cannot be opened.
bool ReadRegistrySubkeyNames(HKEY root, const std::string& keyPath, TStringList& names);

// The Explorer verbs "Protect" and "Remove protection" on link files.
constexpr const char* kRemoveProtectionVerbKey = "lnkfile\\shell\\Remove protection";
constexpr const char* kProtectVerbKey = "lnkfile\\shell\\Protect";
void SetLinkContextVerbs(bool on);
// Whether the verbs are registered (the "Remove protection" key exists).
bool LinkContextVerbsPresent();
