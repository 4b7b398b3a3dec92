// The input buffer: detection, decoding, the end of the input, and stepping
// back across the boundary of its two halves in every encoding.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/xml_model/test_util.h"
#include "xml/inputbuffer.h"
#include "xml/xmlerrors.h"

namespace {

// Counts the bytes the buffer takes from the stream.
class CountingStream : public TMemoryStream {
 public:
  explicit CountingStream(const std::string& bytes) {
    Write(bytes.data(), static_cast<int64_t>(bytes.size()));
    Seek(0, TSeekOrigin::soBeginning);
  }
  int64_t Read(void* buffer, int64_t count) override {
    // Deliver in small odd pieces: a fill must not assume one Read fills it.
    int64_t n = TMemoryStream::Read(buffer, count > 7777 ? 7777 : count);
    bytesRead += n;
    return n;
  }
  int64_t bytesRead = 0;
};

WideString ReadAll(TInputBuffer& b) {
  WideString s;
  for (WideChar c; (c = b.ReadChar()) != 0;) s += c;
  return s;
}

class InputBufferTest : public ::testing::Test {
 protected:
  void SetUp() override { UnmappedChars().Reset(); }
  TInputBuffer buf;
};

TEST_F(InputBufferTest, Utf16ByteOrderMarks) {
  CountingStream le(Bytes({0xFF, 0xFE, '<', 0, 'a', 0, 0x00, 0x01, 'z', 0}));
  buf.LoadFromStream(le);
  EXPECT_TRUE(buf.TwoByteMode());
  EXPECT_FALSE(buf.BigEndian());
  EXPECT_EQ(buf.Encoding(), UTF_16);
  EXPECT_EQ(ReadAll(buf), u"<a\u0100z");  // zero bytes do not end the input

  CountingStream be(Bytes({0xFE, 0xFF, 0, '<', 0, 'A', 0x20, 0xAC}));
  buf.LoadFromStream(be);
  EXPECT_TRUE(buf.BigEndian());
  EXPECT_EQ(ReadAll(buf), u"<A\u20AC");
}

TEST_F(InputBufferTest, NoMarkReadsUsAsciiUntilTheEncodingIsSet) {
  CountingStream s("\xE9" "a\xE9");
  buf.LoadFromStream(s);
  EXPECT_FALSE(buf.TwoByteMode());
  EXPECT_EQ(buf.Encoding(), US_ASCII);
  EXPECT_EQ(buf.ReadChar(), u'_');
  EXPECT_EQ(UnmappedChars().GetText(), u"\u00E9");
  buf.SetEncoding(i8859_1);
  EXPECT_EQ(buf.ReadChar(), u'a');
  EXPECT_EQ(buf.ReadChar(), 0xE9);
}

TEST_F(InputBufferTest, Utf8MarkSelectsUtf8AndIsSkipped) {
  CountingStream s("\xEF\xBB\xBF<\xC3\xA9");
  buf.LoadFromStream(s);
  EXPECT_EQ(buf.Encoding(), UTF_8);
  EXPECT_TRUE(buf.HasByteOrderMark());
  buf.SetEncoding(i8859_1);  // the mark decides
  EXPECT_EQ(ReadAll(buf), u"<\u00E9");
}

TEST_F(InputBufferTest, EndOfInputIsStickyAndStepsBackPrecisely) {
  CountingStream s("ab");
  buf.LoadFromStream(s);
  EXPECT_EQ(buf.ReadChars(4), WideString(u"ab\0\0", 4));
  EXPECT_EQ(buf.ReadChar(), 0);
  buf.StepBackChars(3);  // the three end reads
  EXPECT_EQ(buf.ReadChar(), 0);
  buf.StepBackChars(2);  // the end read and "b"
  EXPECT_EQ(buf.ReadChar(), u'b');
  EXPECT_EQ(buf.ReadByte(), 0);
  EXPECT_EQ(buf.ReadByte(), 0);
  EXPECT_EQ(s.bytesRead, 2);

  CountingStream empty("");
  buf.LoadFromStream(empty);
  EXPECT_EQ(buf.ReadChar(), 0);
  EXPECT_EQ(buf.ReadChar(), 0);
}

TEST_F(InputBufferTest, RealNulAndBrokenInputAreErrors) {
  struct Case {
    std::string bytes;
    TEncoding encoding;
    const char* message;
  } cases[] = {
      {std::string("a\0b", 3), US_ASCII, kMsgNulInInput},
      {std::string("a\0b", 3), UTF_8, kMsgNulInInput},
      {Bytes({0xFF, 0xFE, 'a', 0, 0, 0}), UTF_16, kMsgNulInInput},
      {Bytes({0xFE, 0xFF, 0, 'a', 0}), UTF_16, kMsgOddUTF16},
      {"a\xA9", UTF_8, kMsgMalformedUTF8},
      {"a\xC3", UTF_8, kMsgMalformedUTF8},
      {"a\xC3(", UTF_8, kMsgMalformedUTF8},
      {"a\xE0\x80\x80", UTF_8, kMsgMalformedUTF8},
      {"a\xED\xA0\x80", UTF_8, kMsgMalformedUTF8},
      {"a\xF8\x88\x80\x80\x80", UTF_8, kMsgMalformedUTF8},
  };
  for (const auto& c : cases) {
    CountingStream s(c.bytes);
    buf.LoadFromStream(s);
    if (!buf.TwoByteMode()) buf.SetEncoding(c.encoding);
    EXPECT_EQ(buf.ReadChar(), u'a');
    try {
      buf.ReadChar();
      ADD_FAILURE() << "no error for " << c.message;
    } catch (const ELkXMLParserError& e) {
      EXPECT_EQ(e.Message(), c.message);
      EXPECT_EQ(e.Line, 0);
    }
  }
}

TEST_F(InputBufferTest, Utf8CharactersAndStepBack) {
  CountingStream s("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
  buf.LoadFromStream(s);
  buf.SetEncoding(UTF_8);
  EXPECT_EQ(buf.ReadChar(), 0xE9);
  EXPECT_EQ(buf.ReadChar(), 0x20AC);
  buf.StepBack();  // one character, three bytes
  EXPECT_EQ(buf.ReadChar(), 0x20AC);
  EXPECT_EQ(buf.ReadChar(), 0xD83D);
  buf.StepBack();  // half a pair read: back before the whole sequence
  EXPECT_EQ(buf.ReadChars(2), u"\U0001F600");
  buf.StepBack();  // the low half again
  EXPECT_EQ(buf.ReadChar(), 0xDE00);
  buf.StepBackChars(3);
  EXPECT_EQ(buf.ReadChars(4), u"\u20AC\U0001F600z");
  EXPECT_EQ(buf.ReadChar(), 0);
}

TEST_F(InputBufferTest, TwoByteStepBackMovesFourBytesForTwoCharacters) {
  CountingStream s(Bytes({0xFF, 0xFE, 'a', 0, 'b', 0, 'c', 0}));
  buf.LoadFromStream(s);
  EXPECT_EQ(buf.ReadChars(2), u"ab");
  buf.StepBackChars(2);
  EXPECT_EQ(buf.ReadByte(), 'a');
  EXPECT_EQ(buf.ReadByte(), 0);  // the high byte of "a", not the end
  EXPECT_EQ(buf.ReadChars(2), u"bc");
}

TEST_F(InputBufferTest, ExactlyOneHalf) {
  std::string bytes(TInputBuffer::kHalfSize, 'x');
  CountingStream s(bytes);
  buf.LoadFromStream(s);
  for (int32_t i = 0; i < TInputBuffer::kHalfSize; ++i) ASSERT_EQ(buf.ReadChar(), u'x') << i;
  EXPECT_EQ(buf.ReadChar(), 0);
  EXPECT_EQ(buf.ReadChar(), 0);
  buf.StepBackChars(2);
  buf.StepBack();
  EXPECT_EQ(buf.ReadChar(), u'x');
  EXPECT_EQ(buf.ReadChar(), 0);
  EXPECT_EQ(s.bytesRead, TInputBuffer::kHalfSize);
}

// A text of every kind of character the encoding holds, longer than both
// halves together, so reading passes A, B and A again; at every position the
// reader steps back up to six characters and must read the same again, and
// the stream is read exactly once.
struct EncodingCase {
  const char* name;
  TEncoding encoding;
  bool bigEndian;
  std::string mark;
  std::vector<WideChar> alphabet;
};

class HalvesTest : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(HalvesTest, StepBackAcrossTheHalvesReadsTheSameCharacters) {
  const EncodingCase& c = GetParam();
  UnmappedChars().Reset();
  WideString text;
  std::size_t i = 0;
  while (
         text.size() < static_cast<std::size_t>(2 * TInputBuffer::kHalfSize + 3000)) {
    WideChar u = c.alphabet[(i * 7 + i / 13) % c.alphabet.size()];
    text += u;
    if (u >= 0xD800 && u <= 0xDBFF) text += static_cast<WideChar>(0xDE00 + i % 200);
    ++i;
  }
  std::string bytes = c.mark + WideToEncoded(text, c.encoding, c.bigEndian);
  ASSERT_GT(bytes.size(), static_cast<std::size_t>(2 * TInputBuffer::kHalfSize));
  CountingStream s(bytes);
  TInputBuffer b;
  b.LoadFromStream(s);
  if (!b.TwoByteMode()) b.SetEncoding(c.encoding);
  WideString got;
  for (std::size_t k = 0; k < text.size(); ++k) {
    got += b.ReadChar();
    std::size_t back = std::min<std::size_t>(1 + k % 6, got.size());
    b.StepBackChars(static_cast<int32_t>(back));
    WideString again = b.ReadChars(static_cast<int32_t>(back));
    ASSERT_EQ(again, got.substr(got.size() - back)) << c.name << " at " << k;
  }
  EXPECT_TRUE(got == text);
  EXPECT_EQ(b.ReadChar(), 0);
  EXPECT_EQ(s.bytesRead, static_cast<int64_t>(bytes.size()));
  EXPECT_EQ(UnmappedChars().Count(), 0);
}

// Runs of character data read at once give what ReadChar gives one by one:
// the same characters (decoded alike), the run ending just before "<", "&"
// or a character ReadChar must take (no character in the table, a sequence
// cut by the end of a half), the line feeds in it counted. These stand at
// every offset from a run's start, and the text passes both halves.
struct TextRunCase {
  const char* name;
  TEncoding encoding;
  std::vector<std::string> stops;  // characters after runs (UTF-8), most of them ending one
  std::string mark;                // UTF-16: the text is that, behind this mark
};

class TextRunTest : public ::testing::TestWithParam<TextRunCase> {};

TEST_P(TextRunTest, RunsAgreeWithSingleReads) {
  const TextRunCase& c = GetParam();
  std::string bytes;
  for (std::size_t gap = 0; bytes.size() < 2 * TInputBuffer::kHalfSize + 5000; ++gap) {
    const std::size_t n = gap % 70 < 40 ? gap % 70 : (gap * 37) % 5000;
    for (std::size_t k = 0; k < n; ++k) bytes += (k * 11 + gap) % 23 == 0 ? '\n' : static_cast<char>('a' + (k + gap) % 26);
    bytes += c.stops[gap % c.stops.size()];
  }
  if (!c.mark.empty()) bytes = c.mark + WideToEncoded(UTF8ToWide(bytes), UTF_16, c.mark == "\xFE\xFF");
  UnmappedChars().Reset();
  CountingStream one(bytes), runs(bytes);
  TInputBuffer single, fast;
  single.LoadFromStream(one);
  fast.LoadFromStream(runs);
  single.SetEncoding(c.encoding);
  fast.SetEncoding(c.encoding);
  WideString expected, got;
  std::size_t inRuns = 0;
  for (;;) {
    WideString run;
    int32_t lines = 0;
    fast.ReadTextRun(run, lines);
    inRuns += run.size();
    for (WideChar u : run) {
      const WideChar e = single.ReadChar();
      ASSERT_EQ(e, u) << c.name << " at " << got.size();
      ASSERT_TRUE(e != 0 && e != u'<' && e != u'&') << c.name << " at " << got.size();
    }
    ASSERT_EQ(lines, std::count(run.begin(), run.end(), u'\n')) << c.name << " at " << got.size();
    got += run;
    // The character after the run: read singly on both.
    const WideChar next = fast.ReadChar();
    ASSERT_EQ(next, single.ReadChar()) << c.name << " at " << got.size();
    if (next == 0) break;
    got += next;
  }
  CountingStream whole(bytes);
  TInputBuffer all;
  all.LoadFromStream(whole);
  all.SetEncoding(c.encoding);
  EXPECT_TRUE(got == ReadAll(all)) << c.name;
  EXPECT_GT(inRuns, got.size() * 9 / 10);  // the runs did the reading
  // Stepping back after a run reads its last character again.
  CountingStream again(c.mark.empty() ? std::string("abc<") : c.mark + WideToEncoded(u"abc<", UTF_16, c.mark == "\xFE\xFF"));
  TInputBuffer b;
  b.LoadFromStream(again);
  b.SetEncoding(c.encoding);
  WideString run;
  int32_t lines = 0;
  b.ReadTextRun(run, lines);
  EXPECT_EQ(run, u"abc");
  b.StepBack();
  EXPECT_EQ(b.ReadChars(2), u"c<");
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, TextRunTest,
    ::testing::Values(TextRunCase{"UTF8", UTF_8,
                                  {"<", "&", "\xC3\xA9", "?", "\x01", "\x7F", "\r", "\xE2\x82\xAC", "\xF0\x90\x8D\x88",
                                   "\xEF\xBF\xBF", "\xDF\xBF\xE0\xA0\x80"}, ""},
                      TextRunCase{"Latin1", i8859_1, {"<", "&", "\xE9", "\x01", "\x1F", "\x7F", "\x80", " ", "\t"}, ""},
                      TextRunCase{"Ascii", US_ASCII, {"<", "&", "\x0B", "\x7F", "\xFF", "\t"}, ""},
                      TextRunCase{"UTF16LE", UTF_16, {"<", "&", "\xC3\xA9", "\xF0\x90\x8D\x88", "\x01", "\xE2\x82\xAC"}, "\xFF\xFE"},
                      TextRunCase{"UTF16BE", UTF_16, {"<", "&", "\xC4\x80", "\xE2\x80\xA8", "\x7F", ">"}, "\xFE\xFF"}),
    [](const ::testing::TestParamInfo<TextRunCase>& info) { return std::string(info.param.name); });

// A run stops before a sequence that ReadChar refuses, so the error comes
// from ReadChar as before; a character cut by the end of a half is read by
// ReadChar across it.
TEST_F(InputBufferTest, TextRunsLeaveBadAndCutSequencesToReadChar) {
  for (const char* bad : {"\xC3(", "\xED\xA0\x80", "\xC0\xAF", "\xE0\x80\xAF", "\xE2(\xAC", "\xF4\x90\x80\x80",
                          "\xE2\x82", "\xFF"}) {
    CountingStream s(std::string("ab\xC3\xA9\xE6\x97\xA5") + bad);
    buf.LoadFromStream(s);
    buf.SetEncoding(UTF_8);
    WideString run;
    int32_t lines = 0;
    buf.ReadTextRun(run, lines);
    EXPECT_EQ(run, u"ab\u00E9\u65E5") << bad;
    EXPECT_THROW(buf.ReadChar(), ELkXMLParserError) << bad;
  }
  const struct {
    std::string bytes;
    WideString units;
  } kCut[] = {{"\xF0\x90\x8D\x88", u"\xD800\xDF48"}, {"\xC3\xA9", u"\u00E9"}, {"\xE2\x82\xAC", u"\u20AC"}};
  for (const auto& c : kCut) {
    for (std::size_t cut = 1; cut < c.bytes.size(); ++cut) {
      // A two-byte character just before the cut one, which the half ends in.
      std::string bytes(TInputBuffer::kHalfSize - cut - 2, 'x');
      bytes += "\xC3\xA9" + c.bytes + "yz";
      CountingStream s(bytes);
      buf.LoadFromStream(s);
      buf.SetEncoding(UTF_8);
      WideString run;
      int32_t lines = 0;
      buf.ReadTextRun(run, lines);
      ASSERT_EQ(run.size(), TInputBuffer::kHalfSize - cut - 1) << cut;
      EXPECT_EQ(run.back(), u'\u00E9') << cut;
      for (WideChar u : c.units) EXPECT_EQ(buf.ReadChar(), u) << cut;
      run.clear();
      buf.ReadTextRun(run, lines);
      EXPECT_EQ(run, u"yz") << cut;
    }
  }
}

// Two-byte input has runs of whole units; one-byte input under the name
// UTF-16 (no mark) has no byte table and no runs.
TEST_F(InputBufferTest, TextRunsInTwoByteModeOnly) {
  CountingStream s(Bytes({0xFE, 0xFF, 0, 'a', 0x20, 0xAC, 0, '\n', 0, '<', 0, 'b'}));
  buf.LoadFromStream(s);
  WideString run;
  int32_t lines = 0;
  buf.ReadTextRun(run, lines);
  EXPECT_EQ(run, u"a\u20AC\n");
  EXPECT_EQ(lines, 1);
  EXPECT_EQ(ReadAll(buf), u"<b");
  CountingStream named(Bytes({'a', 'b'}));
  buf.LoadFromStream(named);
  buf.SetEncoding(UTF_16);
  run.clear();
  buf.ReadTextRun(run, lines);
  EXPECT_TRUE(run.empty());
  EXPECT_EQ(ReadAll(buf), u"ab");
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, HalvesTest,
    ::testing::Values(
        EncodingCase{"UTF16LE", UTF_16, false, "\xFF\xFE", {u'a', 0x100, 0x4100, 0x20AC, 0xD83D, u'<', 0xFFFD}},
        EncodingCase{"UTF16BE", UTF_16, true, "\xFE\xFF", {u'a', 0x100, 0x41, 0x20AC, 0xD83D, u'>', 0x0A}},
        EncodingCase{"UTF8", UTF_8, false, "", {u'a', 0xE9, 0x20AC, 0xD83D, u'\n', 0x7FF, 0x800, 0xFFFD}},
        EncodingCase{"UTF8BOM", UTF_8, false, "\xEF\xBB\xBF", {0xE9, 0x20AC, 0xD83D}},
        EncodingCase{"Latin1", i8859_1, false, "", {u'a', 0xE9, 0xFF, u'\t', 0xA0}},
        EncodingCase{"Greek", i8859_7, false, "", {u'a', 0x0391, 0x03C9, 0x02BD}},
        EncodingCase{"Ascii", US_ASCII, false, "", {u'a', 1, 0x7E, u'z'}}),
    [](const ::testing::TestParamInfo<EncodingCase>& info) { return std::string(info.param.name); });

}  // namespace
