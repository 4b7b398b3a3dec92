#include <gtest/gtest.h>

#include <vector>

#include "base/component.h"
#include "base/locale.h"
#include "base/streams.h"
#include "base/stringlist.h"
#include "base/sysutils.h"

namespace {

struct Probe : TComponent {
  Probe(TComponent* owner, std::vector<std::string>* log, std::string n) : TComponent(owner), log_(log) { SetName(n); }
  ~Probe() override { log_->push_back(Name()); }
  std::vector<std::string>* log_;
};

struct Watcher : TComponent {
  using TComponent::TComponent;
  TComponent* gone = nullptr;
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == TOperation::opRemove) gone = c;
  }
};

TEST(Component, OwnerFreesChildrenInReverseOrder) {
  std::vector<std::string> log;
  auto* root = new Probe(nullptr, &log, "root");
  new Probe(root, &log, "a");
  auto* b = new Probe(root, &log, "b");
  new Probe(b, &log, "b1");
  new Probe(root, &log, "c");
  EXPECT_EQ(root->FindComponent("B"), b);
  delete root;
  // A destructor body runs before the base part frees what the object owns.
  EXPECT_EQ(log, (std::vector<std::string>{"root", "c", "b", "b1", "a"}));
}

TEST(Component, FreeNotificationReachesListener) {
  Watcher w(nullptr);
  auto* other = new TComponent(nullptr);
  w.FreeNotification(other);
  delete other;
  EXPECT_EQ(w.gone, other);
}

struct Form : TComponent {
  Form() : TComponent(nullptr) { clicked = TNotifyEvent(this, &Form::Click); }
  void Click(TObject*) { ++clicks; }
  int clicks = 0;
  TNotifyEvent clicked;
};

TEST(Events, MethodBindingsCompareByObjectAndMethod) {
  Form f, g;
  TNotifyEvent again(&f, &Form::Click);
  EXPECT_TRUE(again == f.clicked);
  EXPECT_FALSE(TNotifyEvent(&g, &Form::Click) == f.clicked);
  TNotifyEvent lambda = [](TObject*) {};
  TNotifyEvent copy = lambda;
  EXPECT_TRUE(copy == lambda);
  EXPECT_FALSE(lambda == f.clicked);
  again(nullptr);
  EXPECT_EQ(f.clicks, 1);
}

TEST(StringList, CommaTextRoundTripsAndSplitsLikeTheOptionsField) {
  struct Case {
    std::string in;
    std::vector<std::string> items;
  } cases[] = {
      {"1,3,6", {"1", "3", "6"}},
      {"", {}},
      {"a b,\"c,d\",\"e\"\"f\"", {"a", "b", "c,d", "e\"f"}},
      {"1,", {"1", ""}},
  };
  for (const auto& c : cases) {
    TStringList l;
    l.SetCommaText(c.in);
    ASSERT_EQ(l.Count(), static_cast<int>(c.items.size())) << c.in;
    for (int i = 0; i < l.Count(); ++i) EXPECT_EQ(l[i], c.items[i]) << c.in;
    TStringList back;
    back.SetCommaText(l.CommaText());
    EXPECT_EQ(back.Text(), l.Text()) << c.in;
  }
}

TEST(StringList, SortedCaseInsensitiveFindAndText) {
  TStringList l;
  l.SetSorted(true);
  l.Add("2");
  l.Add("10");
  l.Add("Default");
  l.Add("1");
  EXPECT_EQ(l.Text(), "1\r\n10\r\n2\r\nDefault\r\n");
  EXPECT_EQ(l.IndexOf("DEFAULT"), 3);
  l.Add("default");  // ignored duplicate
  EXPECT_EQ(l.Count(), 4);
  TStringList t;
  t.SetText("a\r\nb\nc\rd");
  EXPECT_EQ(t.Count(), 4);
}

TEST(Streams, MemoryStreamReadWriteSeek) {
  TMemoryStream m;
  m.WriteBuffer("hello", 5);
  m.SetPosition(1);
  char buf[3];
  m.ReadBuffer(buf, 3);
  EXPECT_EQ(std::string(buf, 3), "ell");
  EXPECT_THROW(m.ReadBuffer(buf, 3), EReadError);
  EXPECT_EQ(m.Size(), 5);
}

TEST(Streams, AtomicReplaceLeavesNoTemporary) {
  const std::string name = std::string(LK_BINARY_DIR) + "/base_atomic.bin";
  ReplaceFileAtomically(name, "one", 3);
  ReplaceFileAtomically(name, "second", 6);
  EXPECT_EQ(ReadFileBytes(name), "second");
  EXPECT_FALSE(FileExists(name + ".tmp~"));
  DeleteFile(name);
}

TEST(SysUtils, StrToIntAcceptsDecimalAndHexOnly) {
  EXPECT_EQ(StrToInt("42"), 42);
  EXPECT_EQ(StrToInt("-7"), -7);
  EXPECT_EQ(StrToInt("$FF"), 255);
  int32_t v;
  for (const char* bad : {"", " 1", "1a", "99999999999", "-"}) EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
  EXPECT_THROW(StrToInt("x"), EConvertError);
}

}  // namespace
