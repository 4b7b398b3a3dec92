#include <gtest/gtest.h>

#include <string>

#include "base/sysutils.h"
#include "shared/core/base64.h"
#include "shared/core/gatearg.h"

namespace {

struct Unwrapped {
  std::string target;
  std::string arguments;
  int mode;
  char last;
};

Unwrapped Read(std::string token, int mode = 0) {
  Unwrapped r{};
  UnwrapToken(token, mode, r.last);
  SplitGateText(UnscrambleText(token), r.target, r.arguments);
  r.mode = mode;
  return r;
}

std::string Build(const std::string& target, const std::string& arguments, int mode) {
  return WrapToken(ScrambleText(JoinGateText(target, arguments)), mode);
}

// Tokens worked out by hand (XOR 0x6B, marker, Base64, "1").
struct TokenCase {
  const char* what;
  std::string target;
  std::string arguments;
  int mode;
  std::string token;
};

const TokenCase kTokens[] = {
    {"no arguments, mode 0", "C:\\Windows\\notepad.exe", "", 0, "KFE3PAIFDwQcGDcFBB8OGwoPRQ4TDigwKQ==1"},
    {"no arguments, mode 1", "C:\\Windows\\notepad.exe", "", 1, "KFE3PAIFDwQcGDcFBB8OGwoPRQ4TDigxKQ==1"},
    {"';' inside the arguments", "C:\\Tools\\run.exe", "/a;b;c", 1, "KFE3PwQEBxg3GR4FRQ4TDlBEClAJUAgoMSk=1"},
    {"arguments naming a MUSIC[B] folder", "C:\\Program Files\\Media\\play.exe", "D:\\MUSIC[B]", 0,
     "KFE3OxkEDBkKBkstAgcOGDcmDg8CCjcbBwoSRQ4TDlAvUTcmPjgiKDApNigwKQ==1"},
    // "C[B" scrambles to "(0)": the target's own bytes spell a marker.
    {"MUSIC[B] target, per user", "D:\\MUSIC[B]", "", 1, "L1E3Jj44IigwKTYoMSk=1"},
    {"key byte 'k' scrambles to zero", "C:\\k\\kk.exe", "-k", 0, "KFE3ADcAAEUOEw5QRgAoMCk=1"},
    {"highest marker", "x", "", 4, "Eyg0KQ==1"},
};

TEST(GateArgument, BuildsTheStoredTokens) {
  for (const auto& c : kTokens) {
    const std::string token = Build(c.target, c.arguments, c.mode);
    EXPECT_EQ(token, c.token) << c.what;
    EXPECT_EQ(token.size() % 4, 1u) << c.what;
  }
}

TEST(GateArgument, ReadsTheStoredTokensBack) {
  for (const auto& c : kTokens) {
    const Unwrapped r = Read(c.token, 3);
    EXPECT_EQ(r.target, c.target) << c.what;
    EXPECT_EQ(r.arguments, c.arguments) << c.what;
    EXPECT_EQ(r.mode, c.mode) << c.what;
    EXPECT_EQ(r.last, '1') << c.what;
  }
}

TEST(GateArgument, ScrambledZeroBytesSurvive) {
  std::string token = Build("kkk", "", 0);
  int mode = 1;
  char last;
  UnwrapToken(token, mode, last);
  EXPECT_EQ(token, std::string(3, '\0'));
  EXPECT_EQ(mode, 0);
}

// Tokens that no console wrote: the marker rule and the leftovers.
struct RawCase {
  const char* what;
  std::string token;
  std::string decoded;  // still scrambled
  int mode;             // the caller passes 3
  char last;
};

std::string Raw(const std::string& decoded, char last = '1') { return Base64Encode(decoded) + last; }

const RawCase kRaw[] = {
    {"no marker: text whole, mode kept", Raw("abc"), "abc", 3, '1'},
    {"marker only in the middle is text", Raw("ab(1)cd"), "ab(1)cd", 3, '1'},
    {"an earlier (0) does not beat the trailing (1)", Raw("ab(0)cd(1)"), "ab(0)cd", 1, '1'},
    {"trailing marker after another", Raw("(2)(4)"), "(2)", 4, '1'},
    {"marker alone", Raw("(2)"), "", 2, '1'},
    {"marker-like but not one", Raw("ab(5)"), "ab(5)", 3, '1'},
    {"too short for a marker", Raw("(0"), "(0", 3, '1'},
    {"any last character is removed", Raw("x(1)", 'Z'), "x", 1, 'Z'},
    {"padding and line breaks are skipped", "eC=gx\r\nKQ==1", "x", 1, '1'},
    {"one character", "1", "", 3, '1'},
    {"empty token", "", "", 3, '\0'},
};

TEST(GateArgument, MarkerCountsOnlyAtTheEnd) {
  for (const auto& c : kRaw) {
    std::string token = c.token;
    int mode = 3;
    char last = '?';
    UnwrapToken(token, mode, last);
    EXPECT_EQ(token, c.decoded) << c.what;
    EXPECT_EQ(mode, c.mode) << c.what;
    EXPECT_EQ(last, c.last) << c.what;
  }
}

TEST(GateArgument, TargetWithSemicolonSplitsAtIt) {
  const Unwrapped r = Read(Build("C:\\a;b\\x.exe", "-y", 0));
  EXPECT_EQ(r.target, "C:\\a");
  EXPECT_EQ(r.arguments, "b\\x.exe;-y");
}

TEST(GateArgument, EveryByteRoundTrips) {
  std::string target;
  for (int c = 0; c < 256; ++c)
    if (c != ';') target += static_cast<char>(c);
  for (int mode = 0; mode < kModeMarkerCount; ++mode) {
    const Unwrapped r = Read(Build(target, "a;b", mode), 9);
    EXPECT_EQ(r.target, target);
    EXPECT_EQ(r.arguments, "a;b");
    EXPECT_EQ(r.mode, mode);
  }
}

// The one decoder the console, the gate and lkdev use.
TEST(GateArgument, DecodedWholeAsEveryReaderSeesIt) {
  struct Case {
    const char* what;
    std::string token;
    std::string target, arguments;
    int mode;
    bool marker;
  } cases[] = {
      {"mode 1 with arguments", EncodeGateArgument("C:\\x.exe", "-a;b", 1), "C:\\x.exe", "-a;b", 1, true},
      {"mode 0, target alone", EncodeGateArgument("D:\\MUSIC[B]", "", 0), "D:\\MUSIC[B]", "", 0, true},
      {"no marker: mode 0, the text split", Base64Encode(ScrambleText("C:\\y.exe;z")) + "1", "C:\\y.exe", "z", 0,
       false},
      {"empty token", "", "", "", 0, false},
  };
  for (const Case& c : cases) {
    const TGateArgument d = DecodeGateArgument(c.token);
    EXPECT_EQ(d.Target, c.target) << c.what;
    EXPECT_EQ(d.Arguments, c.arguments) << c.what;
    EXPECT_EQ(d.Mode, c.mode) << c.what;
    EXPECT_EQ(d.HasMarker, c.marker) << c.what;
  }
  EXPECT_EQ(EncodeGateArgument("C:\\x.exe", "-a", 1), Build("C:\\x.exe", "-a", 1));
}

TEST(GateArgument, ModeOutsideTheTableIsRefused) {
  EXPECT_THROW(WrapToken("x", 5), Exception);
  EXPECT_THROW(WrapToken("x", -1), Exception);
}

}  // namespace
