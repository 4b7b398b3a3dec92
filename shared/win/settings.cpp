#include "shared/win/settings.h"

#include "shared/win/registro.h"

namespace {
TLkVariant Read(const char* name, const TLkVariant& fallback) {
  return ReadRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, name, fallback);
}
}  // namespace

bool ReadSetting(const TBoolSetting& s) { return Read(s.Name, TLkVariant(s.Default)).AsBoolean(); }
int32_t ReadSetting(const TIntSetting& s) { return Read(s.Name, TLkVariant(s.Default)).AsInteger(); }
std::string ReadSetting(const TTextSetting& s) { return Read(s.Name, TLkVariant(s.Default)).AsString(); }
std::string ReadSetting(const TTextSetting& s, const std::string& fallback) {
  return Read(s.Name, TLkVariant(fallback)).AsString();
}

void WriteSetting(const TBoolSetting& s, bool value) { WriteRegistryValue(kSettingsKey, s.Name, TLkVariant(value)); }
void WriteSetting(const TIntSetting& s, int32_t value) {
  WriteRegistryValue(kSettingsKey, s.Name, TLkVariant(value));
}
void WriteSetting(const TTextSetting& s, const std::string& value) {
  WriteRegistryValue(kSettingsKey, s.Name, TLkVariant(value));
}
