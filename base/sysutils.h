// The base exception family and a few conversions every layer uses.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

// The root of the exception family the programs catch and report. Anything
// derived from it is "ours"; other C++ exceptions pass through unchanged.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const { return message_; }
  void SetMessage(std::string m) { message_ = std::move(m); }

 private:
  std::string message_;
};

// The silent abort: raised to unwind a cancelled operation, never shown.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
};

class EConvertError : public Exception { using Exception::Exception; };
class EListError : public Exception { using Exception::Exception; };
class EStreamError : public Exception { using Exception::Exception; };
class EReadError : public EStreamError {
 public:
  EReadError() : EStreamError("Stream read error") {}
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
 public:
  EWriteError() : EStreamError("Stream write error") {}
  using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError { using EStreamError::EStreamError; };
class EFCreateError : public EStreamError { using EStreamError::EStreamError; };

// An operating-system error with its code (Win32 error numbers on Windows,
// errno values natively).
class EOSError : public Exception {
 public:
  EOSError(std::string message, uint32_t code) : Exception(std::move(message)), code_(code) {}
  uint32_t ErrorCode() const { return code_; }

 private:
  uint32_t code_;
};

[[noreturn]] void Abort();

std::string IntToStr(int64_t value);
// Decimal with optional sign, or "$"/"0x" hexadecimal; surrounding blanks
// are not allowed. Raises EConvertError "'<s>' is not a valid integer value".
int32_t StrToInt(const std::string& s);
bool TryStrToInt(const std::string& s, int32_t& value);
int32_t StrToIntDef(const std::string& s, int32_t fallback);

std::string Trim(const std::string& s);  // strips bytes <= ' ' at both ends
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);

// Path pieces with "\" (and natively also "/") as separators.
std::string IncludeTrailingPathDelimiter(const std::string& path);
std::string ExtractFilePath(const std::string& name);  // up to and including the last separator
std::string ExtractFileName(const std::string& name);
std::string ExtractFileExt(const std::string& name);   // with the dot; empty when none
// Whether `name`, resolved against a folder, stays inside that folder on
// every Windows: relative (no drive, stream or leading separator), no
// component that is empty or only dots and blanks (".." and, on the 9x
// line, "..."), no device name (CON, NUL, COM1 ...), no wildcard or control
// character. "\" and "/" both separate; a double-byte trail byte equal to
// "\" counts as one too, which only ever refuses more.
bool IsNameInsideFolder(const std::string& name);
