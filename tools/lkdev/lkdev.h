// lkdev: the developer tool that inspects and builds the system's data.
//
// Each subcommand lives in its own file and registers itself with one
// static TDevCommandRegistrar; main.cpp only dispatches on the first word.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

using TDevArgs = std::vector<std::string>;  // the words after the subcommand

struct TDevCommand {
  const char* name;
  const char* usage;  // one line per form, without the program name
  int (*run)(const TDevArgs& args);
};

class TDevCommandRegistrar {
 public:
  explicit TDevCommandRegistrar(const TDevCommand& command);
};

const std::vector<TDevCommand>& DevCommands();

// Thrown for a malformed command line: main prints the command's usage and
// exits with status 2.
class EDevUsage : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Bytes as text: printable ASCII stays, "\r" "\n" "\\" and "\xHH" for the
// rest; `extra` lists further characters to write as "\xHH".
std::string EscapeBytes(std::string_view bytes, std::string_view extra = {});
// The inverse; any other backslash sequence raises EDevUsage.
std::string UnescapeBytes(std::string_view text);

// Whole-file helpers that raise the base layer's stream errors.
std::string ReadDevFile(const std::string& fileName);
void WriteDevFile(const std::string& fileName, std::string_view bytes);
void WriteOut(std::string_view text);
