// Registry storage of typed values: which registry type each kind of value
// is written as, and which stored types a reader of that kind accepts. Both
// programs and the outside context-menu program rely on these exact forms.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The registry value types, by their Win32 numbers.
enum : uint32_t { kRegNone = 0, kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4, kRegMultiSz = 7 };

enum class TLkVarKind { Empty, Null, SmallInt, Integer, Boolean, Single, Double, Currency, Date, String };

// A value of one of the kinds above. Currency is held as a signed 64-bit
// count of 1/10000 units; a date as days since 30 December 1899 with the
// time of day as fraction.
class TLkVariant {
 public:
  TLkVariant() = default;  // Empty: a kind the registry cannot store
  TLkVariant(int32_t v) : kind_(TLkVarKind::Integer), int_(v) {}
  TLkVariant(int16_t v) : kind_(TLkVarKind::SmallInt), int_(v) {}
  TLkVariant(bool v) : kind_(TLkVarKind::Boolean), int_(v ? 1 : 0) {}
  TLkVariant(double v) : kind_(TLkVarKind::Double), float_(v) {}
  TLkVariant(float v) : kind_(TLkVarKind::Single), float_(v) {}
  TLkVariant(std::string v) : kind_(TLkVarKind::String), text_(std::move(v)) {}
  TLkVariant(const char* v) : kind_(TLkVarKind::String), text_(v) {}
  static TLkVariant Null();
  static TLkVariant Currency(int64_t tenThousandths);
  static TLkVariant Date(double days);

  TLkVarKind Kind() const { return kind_; }
  // The value in the asked form; a text is not converted (gives 0 / empty).
  int32_t AsInteger() const;
  bool AsBoolean() const;
  double AsDouble() const;
  int64_t AsCurrency() const;
  std::string AsString() const;

  bool operator==(const TLkVariant& o) const;

 private:
  TLkVarKind kind_ = TLkVarKind::Empty;
  int64_t int_ = 0;
  double float_ = 0;
  std::string text_;
};

// A value as the registry holds it.
struct TRegData {
  uint32_t Type = kRegNone;
  std::string Bytes;
};

// The stored form of a value; nothing for a kind that is not stored
// (Empty, Null). Texts carry their terminator.
std::optional<TRegData> EncodeRegValue(const TLkVariant& value);

// Reads stored data as the kind of `like`; nothing when the stored type or
// size does not fit that kind (the caller then keeps its default):
// integers REG_DWORD only, Booleans REG_DWORD with any non-zero value True,
// float, currency and date REG_BINARY of exactly 8 bytes, texts REG_SZ or
// REG_EXPAND_SZ (not expanded) cut at the first NUL.
std::optional<TLkVariant> DecodeRegValue(const TRegData& data, TLkVarKind like);
