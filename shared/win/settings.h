// The settings block: the values under HKEY_LOCAL_MACHINE
// "SOFTWARE\Velmora\Lockmere\LKData", each with the kind it is stored as
// (REG_DWORD for integers and Booleans, REG_SZ for texts) and its default.
// The console writes them; the gate reads the install folder and the skin
// values. Every program and test names a value through this table.
#pragma once

#include <cstdint>
#include <string>

inline constexpr const char* kSettingsKey = "SOFTWARE\\Velmora\\Lockmere\\LKData";

struct TBoolSetting {
  const char* Name;
  bool Default;
};
struct TIntSetting {
  const char* Name;
  int32_t Default;
};
struct TTextSetting {
  const char* Name;
  const char* Default;
};

namespace LKData {
inline constexpr TTextSetting Authenticate{"Authenticate", ""};  // the program password, stored form
inline constexpr TBoolSetting doAuthenticate{"doAuthenticate", false};
inline constexpr TBoolSetting Masked{"Masked", false};
inline constexpr TTextSetting Malla{"Malla", "RED"};  // overlay colour name
inline constexpr TIntSetting Malla_x{"Malla_x", 185};
inline constexpr TIntSetting Malla_y{"Malla_y", 20};
inline constexpr TIntSetting IconSelect{"IconSelect", 0};
inline constexpr TBoolSetting doIconSelect{"doIconSelect", false};
inline constexpr TIntSetting SkinSelect{"SkinSelect", 0};
inline constexpr TTextSetting SkinName{"SkinName", ""};
inline constexpr TBoolSetting SkinPreview{"SkinPreview", false};
inline constexpr TBoolSetting SkinRandom{"SkinRandom", false};
inline constexpr TBoolSetting ContextAuth{"ContextAuth", false};
inline constexpr TBoolSetting ContextIcon{"ContextIcon", false};
inline constexpr TBoolSetting ContextUserSettings{"ContextUserSettings", false};
inline constexpr TIntSetting IconView{"IconView", 0};
inline constexpr TIntSetting IconLogView{"IconLogView", 0};
// Its default is the program's own folder, which only the install paths know.
inline constexpr TTextSetting InstallPath{"InstallPath", ""};
}  // namespace LKData

// The stored value, or the default when it is missing or of another type.
bool ReadSetting(const TBoolSetting& s);
int32_t ReadSetting(const TIntSetting& s);
std::string ReadSetting(const TTextSetting& s);
std::string ReadSetting(const TTextSetting& s, const std::string& fallback);
// Writes the value in its stored kind (creating the key); raises
// ERegistryException when it cannot.
void WriteSetting(const TBoolSetting& s, bool value);
void WriteSetting(const TIntSetting& s, int32_t value);
void WriteSetting(const TTextSetting& s, const std::string& value);
