// The exception classes of the shared services.
#pragma once

#include "base/sysutils.h"

// Every corrupt or undecipherable data file ("File is corrupt.",
// "Compressed file is corrupt").
class ECorruptFile : public Exception {
 public:
  using Exception::Exception;
};

class ELkRegistryError : public Exception {
 public:
  using Exception::Exception;
};

class ELkFileVersionInfoError : public Exception {
 public:
  ELkFileVersionInfoError() : Exception("File contains no version information") {}
};
