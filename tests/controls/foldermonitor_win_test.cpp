// The folder monitor on real folders: merged reports, deactivation, teardown
// with work in flight, and a folder that appears later.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "controls/win/foldermonitor.h"
#include "base/sysutils.h"
#include "tests/controls/win_support.h"
#include "tests/support/testthread.h"

namespace {

struct MonitorTest : ::testing::Test {
  ScratchFolder dir{"mon"};
  TComponent form{nullptr};
  TLkFolderMonitor* monitor = new TLkFolderMonitor(&form);
  std::vector<DWORD> reports;  // ms since `start`
  std::vector<DWORD> threads;
  DWORD start = GetTickCount();

  void SetUp() override {
    monitor->SetMonitorSubtree(false);
    monitor->OnChange = [this](TObject*) {
      reports.push_back(GetTickCount() - start);
      threads.push_back(GetCurrentThreadId());
    };
  }
  void Write(const std::string& name) { WriteBytes(dir / name, "x"); }
};

TEST_F(MonitorTest, QuickWritesGiveOneReportAboutASecondLater) {
  monitor->SetDelayTime(1000);
  monitor->SetFolderName(dir.Path());
  monitor->SetActive(true);
  ASSERT_TRUE(monitor->Active());
  start = GetTickCount();
  Write("a.txt");
  PumpFor(150);
  Write("b.txt");
  PumpFor(150);
  Write("c.txt");
  PumpFor(2500);
  ASSERT_EQ(reports.size(), 1u);
  RecordProperty("report_ms", static_cast<int>(reports[0]));
  EXPECT_GE(reports[0], 900u);
  EXPECT_LE(reports[0], 1800u);
  EXPECT_EQ(threads[0], GetCurrentThreadId());
  EXPECT_FALSE(monitor->ReportPending());
}

TEST_F(MonitorTest, ImmediateReportsWithoutDelay) {
  monitor->SetFolderName(dir.Path());
  monitor->SetActive(true);
  Write("a.txt");
  ASSERT_TRUE(PumpUntil([&] { return !reports.empty(); }, 3000));
  EXPECT_EQ(threads[0], GetCurrentThreadId());
}

TEST_F(MonitorTest, NoReportAfterDeactivation) {
  monitor->SetDelayTime(500);
  monitor->SetFolderName(dir.Path());
  monitor->SetActive(true);
  Write("before.txt");
  // Deactivated while the report is still waiting for its delay.
  ASSERT_TRUE(PumpUntil([&] { return monitor->ReportPending(); }, 3000));
  monitor->SetActive(false);
  EXPECT_FALSE(monitor->Active());
  Write("after.txt");
  PumpFor(1500);
  EXPECT_TRUE(reports.empty());
}

TEST_F(MonitorTest, DelayTimeChangesThePendingReport) {
  monitor->SetDelayTime(2000);
  monitor->SetFolderName(dir.Path());
  monitor->SetActive(true);
  start = GetTickCount();
  Write("a.txt");
  ASSERT_TRUE(PumpUntil([&] { return monitor->ReportPending(); }, 3000));
  monitor->SetDelayTime(300);  // the waiting report now comes sooner
  ASSERT_TRUE(PumpUntil([&] { return !reports.empty(); }, 1500));
  EXPECT_LT(reports[0], 1500u);
  reports.clear();
  Write("b.txt");
  ASSERT_TRUE(PumpUntil([&] { return monitor->ReportPending(); }, 3000));
  monitor->SetDelayTime(0);  // and 0 drops it
  EXPECT_FALSE(monitor->ReportPending());
  PumpFor(600);
  EXPECT_TRUE(reports.empty());
}

TEST_F(MonitorTest, DestroyedWithAReportPending) {
  monitor->SetDelayTime(300);
  monitor->SetFolderName(dir.Path());
  monitor->SetActive(true);
  Write("a.txt");
  ASSERT_TRUE(PumpUntil([&] { return monitor->ReportPending(); }, 3000));
  delete monitor;
  monitor = nullptr;
  Write("b.txt");
  PumpFor(800);
  EXPECT_TRUE(reports.empty());
}

TEST_F(MonitorTest, DestroyedInsideItsOwnReport) {
  monitor->SetFolderName(dir.Path());
  monitor->SetActive(true);
  monitor->OnChange = [this](TObject*) {
    reports.push_back(0);
    delete monitor;
    monitor = nullptr;
  };
  Write("a.txt");
  ASSERT_TRUE(PumpUntil([&] { return monitor == nullptr; }, 3000));
  Write("b.txt");
  PumpFor(300);
  EXPECT_EQ(reports.size(), 1u);
}

TEST_F(MonitorTest, MissingFolderThenOneThatExists) {
  monitor->SetFolderName(dir / "not-yet");
  monitor->SetActive(true);
  EXPECT_FALSE(monitor->Active());
  monitor->SetFolderName(dir.Path());
  EXPECT_TRUE(monitor->Active());
  Write("a.txt");
  ASSERT_TRUE(PumpUntil([&] { return !reports.empty(); }, 3000));

  // The same once the folder is created and asked for again.
  monitor->SetFolderName(dir / "later");
  EXPECT_FALSE(monitor->Active());
  CreateDirectoryA((dir / "later").c_str(), nullptr);
  monitor->SetActive(true);
  EXPECT_TRUE(monitor->Active());
  // Deactivated, a new folder does not start a watch.
  monitor->SetActive(false);
  monitor->SetFolderName(dir.Path());
  EXPECT_FALSE(monitor->Active());
}

TEST_F(MonitorTest, RestartsOnlyWhenTheNameReallyChanges) {
  struct Counting : TLkFolderMonitor {
    using TLkFolderMonitor::TLkFolderMonitor;
    int restarts = 0;
    void Restart(bool activate) override {
      ++restarts;
      TLkFolderMonitor::Restart(activate);
    }
  } counting(nullptr);
  counting.SetFolderName(dir.Path());
  counting.SetActive(true);
  ASSERT_TRUE(counting.Active());
  const int before = counting.restarts;
  counting.SetFolderName(dir.Path());
  EXPECT_EQ(counting.restarts, before);
  std::string otherCase = dir.Path();
  otherCase[otherCase.rfind("lkctl")] = 'L';
  counting.SetFolderName(otherCase);
  EXPECT_EQ(counting.restarts, before + 1);
  EXPECT_TRUE(counting.Active());
}

TEST_F(MonitorTest, ManyStopsWhileChangesArrive) {
  // Watches replaced over and over while another thread keeps writing: each
  // old thread is stopped at whatever point it has reached, sometimes just
  // as it hands over a change.
  std::atomic<bool> writing{true};
  TTestThread writer([&] {
    for (int i = 0; writing; ++i) {
      WriteBytes(dir / ("w" + std::to_string(i % 20)), std::to_string(i));
      Sleep(1);
    }
  });
  monitor->SetFolderName(dir.Path());
  for (int i = 0; i < 60; ++i) {
    monitor->SetActive(true);
    PumpFor(i % 5);
    monitor->SetActive(false);
  }
  monitor->SetActive(true);
  PumpFor(300);
  writing = false;
  writer.join();
  EXPECT_FALSE(reports.empty());
  delete monitor;
  monitor = nullptr;
  PumpFor(200);
}

TEST_F(MonitorTest, WatchedFolderRemovedUnderIt) {
  const std::string sub = dir / "gone";
  CreateDirectoryA(sub.c_str(), nullptr);
  monitor->SetFolderName(sub);
  monitor->SetActive(true);
  ScratchFolder::Remove(sub);
  PumpFor(500);
  monitor->SetActive(false);  // the thread may have ended on its own by now
  EXPECT_FALSE(monitor->Active());
}

TEST_F(MonitorTest, RefusedFilterKeepsTheOldOneAndItsWatch) {
  monitor->SetFolderName(dir.Path());
  monitor->SetActive(true);
  const TFileChangeFilters before = monitor->Filter();
  // The system refuses a notification without flags.
  try {
    monitor->SetFilter({});
    FAIL() << "no error";
  } catch (const EOSError& e) {
    EXPECT_EQ(e.Message().rfind("Win32 Error.  Code: " + std::to_string(e.ErrorCode()) + ".\n", 0), 0u) << e.Message();
  }
  EXPECT_EQ(monitor->Filter(), before);
  EXPECT_TRUE(monitor->Active());
  Write("a.txt");
  EXPECT_TRUE(PumpUntil([&] { return !reports.empty(); }, 3000));
}

TEST(FolderMonitor, FilterFlags) {
  EXPECT_EQ(ChangeNotifyFlags({fnFileName, fnDirName, fnSize, fnLastWrite}), 0x1Bu);
  EXPECT_EQ(ChangeNotifyFlags({fnAttributes, fnLastAccess, fnCreation, fnSecurity}), 0x164u);
  EXPECT_EQ(ChangeNotifyFlags({}), 0u);
}

}  // namespace
