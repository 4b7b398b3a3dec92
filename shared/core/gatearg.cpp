#include "shared/core/gatearg.h"

#include "base/sysutils.h"
#include "shared/core/base64.h"

const char* const ModeMarkers[kModeMarkerCount] = {"(0)", "(1)", "(2)", "(3)", "(4)"};

std::string ScrambleText(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(static_cast<unsigned char>(c) ^ kTokenKey);
  return out;
}

std::string UnscrambleText(std::string_view text) { return ScrambleText(text); }

std::string WrapToken(std::string_view scrambled, int mode) {
  if (mode < 0 || mode >= kModeMarkerCount)
    throw Exception("Mode index " + IntToStr(mode) + " is outside 0..4");
  std::string marked(scrambled);
  marked += ModeMarkers[mode];
  return Base64Encode(marked) + "1";
}

void UnwrapToken(std::string& token, int& mode, char& lastChar) {
  if (token.empty()) {
    lastChar = '\0';
    return;
  }
  lastChar = token.back();
  token.pop_back();
  std::string decoded = Base64Decode(token);
  // The marker is always the last three bytes of a stored token. Looking
  // for it anywhere else would cut real targets whose scrambled bytes
  // happen to spell one: "C[B" scrambles to "(0)", so a folder "MUSIC[B]"
  // would lose its tail and pick the common entry.
  if (decoded.size() >= 3) {
    const std::string_view tail = std::string_view(decoded).substr(decoded.size() - 3);
    for (int i = 0; i < kModeMarkerCount; ++i) {
      if (tail == ModeMarkers[i]) {
        decoded.resize(decoded.size() - 3);
        mode = i;
        break;
      }
    }
  }
  token = std::move(decoded);
}

std::string JoinGateText(std::string_view target, std::string_view arguments) {
  std::string plain(target);
  if (!arguments.empty()) {
    plain += ';';
    plain += arguments;
  }
  return plain;
}

void SplitGateText(std::string_view plain, std::string& target, std::string& arguments) {
  const std::size_t semi = plain.find(';');
  if (semi == std::string_view::npos) {
    target = std::string(plain);
    arguments.clear();
  } else {
    target = std::string(plain.substr(0, semi));
    arguments = std::string(plain.substr(semi + 1));
  }
}

TGateArgument DecodeGateArgument(std::string_view token) {
  TGateArgument d;
  std::string text(token);
  int mode = -1;
  char last = 0;
  UnwrapToken(text, mode, last);
  d.HasMarker = mode >= 0;
  d.Mode = d.HasMarker ? mode : 0;
  SplitGateText(UnscrambleText(text), d.Target, d.Arguments);
  return d;
}

std::string EncodeGateArgument(std::string_view target, std::string_view arguments, int mode) {
  return WrapToken(ScrambleText(JoinGateText(target, arguments)), mode);
}
