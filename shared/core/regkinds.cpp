#include "shared/core/regkinds.h"

#include <cstring>

TLkVariant TLkVariant::Null() {
  TLkVariant v;
  v.kind_ = TLkVarKind::Null;
  return v;
}

TLkVariant TLkVariant::Currency(int64_t tenThousandths) {
  TLkVariant v;
  v.kind_ = TLkVarKind::Currency;
  v.int_ = tenThousandths;
  return v;
}

TLkVariant TLkVariant::Date(double days) {
  TLkVariant v;
  v.kind_ = TLkVarKind::Date;
  v.float_ = days;
  return v;
}

int32_t TLkVariant::AsInteger() const {
  switch (kind_) {
    case TLkVarKind::SmallInt:
    case TLkVarKind::Integer:
    case TLkVarKind::Boolean: return static_cast<int32_t>(int_);
    case TLkVarKind::Currency: return static_cast<int32_t>(int_ / 10000);
    case TLkVarKind::Single:
    case TLkVarKind::Double:
    case TLkVarKind::Date: return static_cast<int32_t>(float_);
    default: return 0;
  }
}

bool TLkVariant::AsBoolean() const { return AsDouble() != 0; }

double TLkVariant::AsDouble() const {
  switch (kind_) {
    case TLkVarKind::Single:
    case TLkVarKind::Double:
    case TLkVarKind::Date: return float_;
    case TLkVarKind::Currency: return static_cast<double>(int_) / 10000.0;
    case TLkVarKind::SmallInt:
    case TLkVarKind::Integer:
    case TLkVarKind::Boolean: return static_cast<double>(int_);
    default: return 0;
  }
}

int64_t TLkVariant::AsCurrency() const {
  if (kind_ == TLkVarKind::Currency) return int_;
  return static_cast<int64_t>(AsDouble() * 10000.0);
}

std::string TLkVariant::AsString() const { return kind_ == TLkVarKind::String ? text_ : std::string(); }

bool TLkVariant::operator==(const TLkVariant& o) const {
  if (kind_ != o.kind_) return false;
  switch (kind_) {
    case TLkVarKind::String: return text_ == o.text_;
    case TLkVarKind::Single:
    case TLkVarKind::Double:
    case TLkVarKind::Date: return float_ == o.float_;
    default: return int_ == o.int_;
  }
}

namespace {

template <class T>
std::string BytesOf(T v) {
  std::string b(sizeof v, '\0');
  std::memcpy(b.data(), &v, sizeof v);
  return b;
}

template <class T>
T FromBytes(const std::string& b) {
  T v;
  std::memcpy(&v, b.data(), sizeof v);
  return v;
}

}  // namespace

std::optional<TRegData> EncodeRegValue(const TLkVariant& value) {
  switch (value.Kind()) {
    case TLkVarKind::SmallInt:
    case TLkVarKind::Integer:
    case TLkVarKind::Boolean: return TRegData{kRegDword, BytesOf<int32_t>(value.AsInteger())};
    case TLkVarKind::Single:
    case TLkVarKind::Double:
    case TLkVarKind::Date: return TRegData{kRegBinary, BytesOf<double>(value.AsDouble())};
    case TLkVarKind::Currency: return TRegData{kRegBinary, BytesOf<int64_t>(value.AsCurrency())};
    case TLkVarKind::String: return TRegData{kRegSz, value.AsString() + '\0'};
    default: return std::nullopt;
  }
}

std::optional<TLkVariant> DecodeRegValue(const TRegData& data, TLkVarKind like) {
  switch (like) {
    case TLkVarKind::SmallInt:
    case TLkVarKind::Integer:
    case TLkVarKind::Boolean: {
      if (data.Type != kRegDword || data.Bytes.size() != 4) return std::nullopt;
      const int32_t v = FromBytes<int32_t>(data.Bytes);
      if (like == TLkVarKind::Boolean) return TLkVariant(v != 0);
      if (like == TLkVarKind::SmallInt) return TLkVariant(static_cast<int16_t>(v));
      return TLkVariant(v);
    }
    case TLkVarKind::Single:
    case TLkVarKind::Double:
    case TLkVarKind::Date:
    case TLkVarKind::Currency: {
      if (data.Type != kRegBinary || data.Bytes.size() != 8) return std::nullopt;
      if (like == TLkVarKind::Currency) return TLkVariant::Currency(FromBytes<int64_t>(data.Bytes));
      const double d = FromBytes<double>(data.Bytes);
      if (like == TLkVarKind::Date) return TLkVariant::Date(d);
      if (like == TLkVarKind::Single) return TLkVariant(static_cast<float>(d));
      return TLkVariant(d);
    }
    case TLkVarKind::String: {
      if (data.Type != kRegSz && data.Type != kRegExpandSz) return std::nullopt;
      const std::size_t nul = data.Bytes.find('\0');
      return TLkVariant(nul == std::string::npos ? data.Bytes : data.Bytes.substr(0, nul));
    }
    default: return std::nullopt;
  }
}
