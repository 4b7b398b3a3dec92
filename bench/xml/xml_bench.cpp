// Parsing into a tree: this parser against libxml2 (xmlReadMemory) and
// expat (with a minimal tree builder), on the same documents. Each
// measurement runs in a child process that builds its document first, so
// the peak memory reported is what the parse itself adds. With
// XML_BENCH_DETAIL set, each measurement also tells on stderr its page
// faults and user and system time: on a machine where faults are dear they
// decide the large documents.
#include <expat.h>
#include <libxml/parser.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/streams.h"
#include "xml/document.h"
#include "xml/xmlparser.h"

namespace {

// --- documents ------------------------------------------------------------------

const char* kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

std::string SmallDocument() {
  std::string d = kHead;
  d += "<order id=\"A-1001\" date=\"2026-12-10\">\n  <!-- one order -->\n  <customer name=\"Ada\" city=\"Lund\"/>\n";
  while (d.size() < 950)
    d += "  <line sku=\"X" + std::to_string(d.size()) + "\" qty=\"2\">Widget &amp; spare</line>\n";
  return d + "</order>\n";
}

std::string Records(std::size_t bytes) {
  std::string d = kHead;
  d += "<records>\n";
  d.reserve(bytes + 256);
  for (int i = 0; d.size() < bytes; ++i) {
    std::string n = std::to_string(i);
    d += "<record id=\"" + n + "\" kind=\"k" + std::to_string(i % 7) + "\"><name>Name " + n +
         "</name><value>" + std::to_string(i % 1000) + ".5</value><note>text &amp; more " + n +
         "</note></record>\n";
  }
  return d + "</records>\n";
}

std::string LargeText(std::size_t bytes) {
  std::string d = kHead;
  d += "<doc>";
  d.reserve(bytes + 64);
  while (d.size() < bytes) d += "the quick brown fox jumps over the lazy dog 0123456789\n";
  return d + "</doc>\n";
}

std::string AttributeHeavy(std::size_t bytes) {
  std::string d = kHead;
  d += "<items>\n";
  d.reserve(bytes + 512);
  for (int i = 0; d.size() < bytes; ++i) {
    d += "<item";
    for (int a = 0; a < 10; ++a) d += " a" + std::to_string(a) + "=\"value " + std::to_string(i + a) + "\"";
    d += "/>\n";
  }
  return d + "</items>\n";
}

// --- the three parsers ------------------------------------------------------------

// A read-only stream over bytes that exist already.
class TBytesStream : public TStream {
 public:
  TBytesStream(const char* data, std::size_t size) : data_(data), size_(static_cast<int64_t>(size)) {}
  int64_t Read(void* buffer, int64_t count) override {
    int64_t n = std::min(count, size_ - pos_);
    std::memcpy(buffer, data_ + pos_, static_cast<std::size_t>(n));
    pos_ += n;
    return n;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    pos_ = origin == TSeekOrigin::soBeginning ? offset : origin == TSeekOrigin::soCurrent ? pos_ + offset : size_ + offset;
    return pos_;
  }
  void SetSize(int64_t) override {}
  int64_t Size() override { return size_; }

 private:
  const char* data_;
  int64_t size_;
  int64_t pos_ = 0;
};

struct TLockmere {
  TLkXMLParser parser{nullptr};
  TLkXMLDocument document;
  void Parse(const std::string& d) {
    TBytesStream s(d.data(), d.size());
    TLkXMLDocument* doc = &document;
    parser.ParseStream(s, doc);
  }
};

struct TLibxml2 {
  xmlDocPtr doc = nullptr;
  void Parse(const std::string& d) {
    if (doc) xmlFreeDoc(doc);
    doc = xmlReadMemory(d.data(), static_cast<int>(d.size()), "bench.xml", nullptr, XML_PARSE_NONET | XML_PARSE_HUGE);
    if (!doc) std::abort();
  }
  ~TLibxml2() {
    if (doc) xmlFreeDoc(doc);
  }
};

struct ENode {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;
  std::vector<std::unique_ptr<ENode>> children;  // a text child has an empty name
  std::string text;
};

struct TExpat {
  std::unique_ptr<ENode> root;
  std::vector<ENode*> open;
  static void Start(void* self, const XML_Char* name, const XML_Char** atts) {
    auto* t = static_cast<TExpat*>(self);
    auto node = std::make_unique<ENode>();
    node->name = name;
    for (int i = 0; atts[i]; i += 2) node->attributes.emplace_back(atts[i], atts[i + 1]);
    ENode* raw = node.get();
    if (t->open.empty())
      t->root = std::move(node);
    else
      t->open.back()->children.push_back(std::move(node));
    t->open.push_back(raw);
  }
  static void End(void* self, const XML_Char*) { static_cast<TExpat*>(self)->open.pop_back(); }
  static void Text(void* self, const XML_Char* s, int len) {
    auto* t = static_cast<TExpat*>(self);
    if (t->open.empty()) return;
    auto& kids = t->open.back()->children;
    if (kids.empty() || !kids.back()->name.empty()) kids.push_back(std::make_unique<ENode>());
    kids.back()->text.append(s, static_cast<std::size_t>(len));
  }
  void Parse(const std::string& d) {
    root.reset();
    open.clear();
    XML_Parser p = XML_ParserCreate(nullptr);
    XML_SetUserData(p, this);
    XML_SetElementHandler(p, Start, End);
    XML_SetCharacterDataHandler(p, Text);
    if (XML_Parse(p, d.data(), static_cast<int>(d.size()), 1) != XML_STATUS_OK) std::abort();
    XML_ParserFree(p);
  }
};

// --- measuring --------------------------------------------------------------------

long ResidentKB() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct TResult {
  double seconds;
  long peakKB;
};

template <typename P>
TResult Measure(const std::function<std::string()>& make, int repeat) {
  int fds[2];
  if (pipe(fds) != 0) std::abort();
  pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    std::string d = make();
    auto parser = std::make_unique<P>();
    long before = ResidentKB();
    rusage u0{};
    getrusage(RUSAGE_SELF, &u0);
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repeat; ++i) parser->Parse(d);
    TResult r{std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0};
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    r.peakKB = u.ru_maxrss - before;
    if (std::getenv("XML_BENCH_DETAIL"))
      std::fprintf(stderr, "  faults %ld user %.1f ms sys %.1f ms wall %.1f ms\n", u.ru_minflt - u0.ru_minflt,
                   (u.ru_utime.tv_sec - u0.ru_utime.tv_sec) * 1e3 + (u.ru_utime.tv_usec - u0.ru_utime.tv_usec) / 1e3,
                   (u.ru_stime.tv_sec - u0.ru_stime.tv_sec) * 1e3 + (u.ru_stime.tv_usec - u0.ru_stime.tv_usec) / 1e3,
                   r.seconds * 1e3);
    if (write(fds[1], &r, sizeof r) != sizeof r) _exit(1);
    _exit(0);
  }
  close(fds[1]);
  TResult r{-1, 0};
  if (read(fds[0], &r, sizeof r) != sizeof r) r.seconds = -1;
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return r;
}

// Rows whose name contains this text (all when empty), e.g. for a profiler;
// and the one parser to run ("lockmere", "libxml2", "expat"; all when empty).
std::string gOnly, gParser;

template <typename P>
TResult MeasureIf(const char* parser, const std::function<std::string()>& make, int repeat) {
  if (!gParser.empty() && gParser != parser) return TResult{-2, 0};
  return Measure<P>(make, repeat);
}

// Each row runs `rounds` times, the three parsers in turn within a round, so
// a passing load touches all three alike; a single parse of a large document
// takes tens of milliseconds, and one measurement of it moves by half.
void Row(const char* name, const std::function<std::string()>& make, int repeat, int rounds) {
  if (!gOnly.empty() && std::string(name).find(gOnly) == std::string::npos) return;
  const double mb = static_cast<double>(make().size()) * repeat / (1024.0 * 1024.0);
  std::vector<TResult> results[3];
  for (int round = 0; round < rounds; ++round) {
    results[0].push_back(MeasureIf<TLockmere>("lockmere", make, repeat));
    results[1].push_back(MeasureIf<TLibxml2>("libxml2", make, repeat));
    results[2].push_back(MeasureIf<TExpat>("expat", make, repeat));
  }
  std::printf("%-26s %9.1f", name, mb);
  for (auto& runs : results) {
    std::sort(runs.begin(), runs.end(), [](const TResult& a, const TResult& b) { return a.seconds < b.seconds; });
    const TResult& best = runs.front();
    const TResult& median = runs[runs.size() / 2];
    if (best.seconds == -2)
      std::printf(" | %8s %8s %8s", "-", "", "");
    else if (best.seconds < 0)
      std::printf(" | %8s %8s %8s", "failed", "", "");
    else
      std::printf(" | %8.1f %8.1f %8.1f", mb / best.seconds, mb / median.seconds, best.peakKB / 1024.0);
  }
  std::printf("\n");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) gOnly = argv[1];
  if (argc > 2) gParser = argv[2];
  std::printf("%-26s %9s | %26s | %26s | %26s\n", "document", "MB parsed", "lockmere best median MB",
              "libxml2 best median MB", "expat best median MB");
  Row("1 KB x 100,000", SmallDocument, 100000, 3);
  Row("records 1 MB", [] { return Records(1u << 20); }, 1, 7);
  Row("records 10 MB", [] { return Records(10u << 20); }, 1, 5);
  Row("records 100 MB", [] { return Records(100u << 20); }, 1, 3);
  Row("one text node 10 MB", [] { return LargeText(10u << 20); }, 1, 7);
  Row("attributes 10 MB", [] { return AttributeHeavy(10u << 20); }, 1, 5);
  std::printf("(MB/s of input, the best and the median round; MB = peak memory the best round's parse adds over its input)\n");
  return 0;
}
