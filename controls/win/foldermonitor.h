// Watches one folder through the system's change notifications and reports
// each change in the main thread, optionally merged over a delay.
//
// Hand-off: the watch thread only waits and calls the main thread
// synchronously. Stopping a watch clears its callback (in the main thread,
// where the callback runs, so a late change finds nothing) and hands the
// thread over to free itself; the monitor forgets it at once and never
// touches it again, whether it ended just then or not.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <set>
#include <string>

#include "base/component.h"
#include "forms/win/thread.h"

class TTimer;

enum TFileChangeFilter { fnFileName, fnDirName, fnAttributes, fnSize, fnLastWrite, fnLastAccess, fnCreation, fnSecurity };
using TFileChangeFilters = std::set<TFileChangeFilter>;
// The system's FILE_NOTIFY_CHANGE_* union of a filter.
DWORD ChangeNotifyFlags(const TFileChangeFilters& filter);

class TNotifyThread : public TThread {
 public:
  // Opens the notification and starts waiting; ErrorCode() tells whether
  // the notification could be opened.
  TNotifyThread(const std::string& folder, bool subtree, const TFileChangeFilters& filter,
                std::function<void()> callback);
  ~TNotifyThread() override;

  // Main thread only.
  void SetCallback(std::function<void()> callback) { callback_ = std::move(callback); }
  void Stop();
  DWORD ErrorCode() const { return error_; }

 protected:
  void Execute() override;

 private:
  HANDLE notify_ = INVALID_HANDLE_VALUE;
  HANDLE stop_ = nullptr;
  std::function<void()> callback_;
  std::atomic<DWORD> error_{0};
};

class TLkFolderMonitor : public TComponent {
 public:
  explicit TLkFolderMonitor(TComponent* owner);
  ~TLkFolderMonitor() override;

  // True while a watch thread exists. Asking for it on a missing folder
  // leaves it False; the request stays and is met as soon as FolderName (or
  // another setting) names a folder that exists.
  bool Active() const { return thread_ != nullptr; }
  void SetActive(bool value);
  int DelayTime() const { return delayTime_; }
  void SetDelayTime(int ms);
  const TFileChangeFilters& Filter() const { return filter_; }
  void SetFilter(const TFileChangeFilters& filter);
  const std::string& FolderName() const { return folderName_; }
  void SetFolderName(const std::string& name);
  bool MonitorSubtree() const { return subtree_; }
  void SetMonitorSubtree(bool value);
  TNotifyEvent OnChange;

  virtual void Restart(bool activate);
  // The current watch (for tests: a restart replaces it).
  const TNotifyThread* WatchThread() const { return thread_; }
  bool ReportPending() const { return delay_ != nullptr; }

 protected:
  virtual void Change();
  void Loaded() override;

 private:
  void StopWatch();
  void CancelDelay();
  void ThreadChange();
  void DelayFired(TObject* sender);

  int delayTime_ = 0;
  TFileChangeFilters filter_{fnFileName, fnDirName, fnSize, fnLastWrite};
  std::string folderName_;
  bool subtree_ = true;
  bool requested_ = false;  // what was asked for; Active() is what is
  TNotifyThread* thread_ = nullptr;
  TTimer* delay_ = nullptr;
};
