#include "console/win/logviewpage.h"

#include <algorithm>
#include <new>

#include "base/fileops.h"
#include "base/filereplace.h"
#include "base/streams.h"
#include "console/core/configrules.h"
#include "console/core/pictureindex.h"
#include "console/core/usersettings.h"
#include "console/win/lkmainform.h"
#include "console/win/usersettingspage.h"
#include "controls/core/listsort.h"
#include "forms/win/application.h"
#include "gate/win/logmutex.h"
#include "shared/win/installpaths.h"
#include "shared/win/settings.h"

namespace {

const TConsolePageFace kLogViewFace{"LogPanel", "Log View", "PanelLog", "ToolBar4", 7};
// A gate holds the log for the few milliseconds of its append; one that
// holds it longer is hung, and the deletion gives up rather than the console.
constexpr DWORD kLogLockWaitMs = 5000;

// The log where it can be read. A gate's replace that stopped between its
// renames (the 9x line) left it under its aside name; it is put back under
// the log's mutex, out of the way of a gate's replace in progress.
std::string LogFileToRead(const std::string& log) {
  if (FileExists(log)) return log;
  TLogFileLock lock(kLogLockWaitMs);
  return lk_fileops::ReplacedFileToRead(log);
}

}  // namespace

TLogViewPage::TLogViewPage(TLKMain* form) : TConsolePage(form, kLogViewFace), LogFileName(LogPath()) {
  LogPanel = Panel;
  PanelLog = ToolPanel;
  ToolBar4 = ToolBar;
  BuildPage();
}

void TLogViewPage::BuildPage() {
  ToolButton16 = NewButton("ToolButton16", "Filename view", mnFileNameView, TToolButtonStyle::tbsCheck);
  ToolButton16->SetGrouped(true);
  ToolButton16->SetDown(true);
  ToolButton16->OnClick = TNotifyEvent(this, &TLogViewPage::ToolButton16Click);
  ToolButton15 = NewButton("ToolButton15", "Full path view", mnFullPathView, TToolButtonStyle::tbsCheck);
  ToolButton15->SetGrouped(true);
  ToolButton15->OnClick = TNotifyEvent(this, &TLogViewPage::ToolButton15Click);
  NewSeparator();
  ToolButton13 = NewButton("ToolButton13", "Refresh", mnRefresh);
  ToolButton13->OnClick = TNotifyEvent(this, &TLogViewPage::ToolButton13Click);
  ToolButton11 = NewButton("ToolButton11", "Delete log file", mnDeleteLog);
  ToolButton11->OnClick = TNotifyEvent(this, &TLogViewPage::ToolButton11Click);

  LogList = new TLkListView(this);
  LogList->SetName("LogList");
  LogList->SetParent(LogPanel);
  LogList->SetAlign(TAlign::alClient);
  LogList->SetViewStyle(TViewStyle::vsReport);
  LogList->SetGridLines(true);
  LogList->SetReadOnly(true);
  LogList->SetFrameVisible(true);
  LogList->SetFrameFlatStyle(TFrameStyle::fsFlat);
  LogList->SetFrameFocusStyle(TFrameStyle::fsFlat);
  LogList->SetAlphaSortAll(true);
  LogList->SetFillLastColumn(false);
  LogList->SetFlatScrollBars(true);
  LogList->AddColumn("Username", 95);
  LogList->AddColumn("Executed", 155);
  LogList->AddColumn("Started", 95);
  LogList->AddColumn("Total", 60);
  LogList->AddColumn("Action", 72);
  LogList->SetOwnerData(true);
  LogList->OnOwnerData = TLVOwnerDataEvent(this, &TLogViewPage::LogListData);
  LogList->OnColumnClick = TLVColumnClickEvent(this, &TLogViewPage::LogListColumnClick);

}

TLogPathView TLogViewPage::PathView() const {
  return ToolButton15->Down() ? TLogPathView::lpFullPath : TLogPathView::lpFileName;
}

void TLogViewPage::StartUp() {
  // Position 0 "Filename view", 1 "Full path view"; anything else is the first.
  const int pressed = ClampChoice(ReadSetting(LKData::IconLogView), 2);
  (pressed == 1 ? ToolButton15 : ToolButton16)->SetDown(true);
  LoadLogView();
}

void TLogViewPage::Closing() { WriteSetting(LKData::IconLogView, ToolButton15->Down() ? 1 : 0); }

bool TLogViewPage::LoadLogView() {
  const std::string file = LogFileToRead(LogFileName);
  if (!FileExists(file)) return false;
  auto log = std::make_unique<TLkStreams>(nullptr);
  log->SetKey(kDataFileKey);  // the gate's key for the log, as for the user data
  try {
    LoadLogFile(*log, file);
  } catch (const ECorruptFile&) {
    return false;
  } catch (const EStreamError&) {
    return false;
  } catch (const std::bad_alloc&) {
    return false;  // a log too large to hold here is as unreadable as a damaged one
  }
  LogStreams = log.get();
  loaded_.push_back(std::move(log));
  const TStringList& list = LogStreams->StreamList();
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(list.Count()));
  for (int i = 0; i < list.Count(); ++i) names.push_back(list.Strings(i));
  shown_view_ = PathView();
  records_.reserve(records_.size() + names.size());
  for (int i : LogRecordOrder(names)) {
    const auto* record = static_cast<const TMemoryStream*>(list.Objects(i));
    records_.emplace_back(reinterpret_cast<const char*>(record->Memory()), record->Bytes().size());
  }
  cached_index_ = -1;
  LogList->SetOwnerDataCount(static_cast<int>(records_.size()));
  return true;
}

bool TLogViewPage::LogViewRefresh() {
  THourglass hourglass;
  records_.clear();
  loaded_.clear();
  LogStreams = nullptr;
  cached_index_ = -1;
  // The list takes its new length once (a length of 0 first would take
  // its scroll bar away and back, the dearest part of a refresh).
  const bool loaded = LoadLogView();
  if (!loaded) LogList->SetOwnerDataCount(0);
  SetStatusText(loaded ? kStatusLogRefreshed : kStatusLogNotFound);
  return loaded;
}

void TLogViewPage::ToolButton11Click(TObject*) {
  TLogDeletion deletion = TLogDeletion::ldNotAsked;
  if (FileExists(LogFileName) || FileExists(lk_replace::AsideName(LogFileName))) {
    deletion = TLogDeletion::ldDeclined;
    if (Application->MessageBox("The log file will be deleted. \r\nAre you sure?", "Confirmation",
                                MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES) {
      // The gate's append (load, add, save) takes the same mutex: a gate
      // ending now neither loses its record nor brings the old log back; nor
      // does an aside copy a replace left (it goes first).
      THourglass hourglass;
      TLogFileLock lock(kLogLockWaitMs);
      const bool deleted = lock.Owned() && lk_fileops::DeleteReplacedFile(LogFileName);
      deletion = deleted ? TLogDeletion::ldDeleted : TLogDeletion::ldFailed;
    }
  }
  SetStatusText(LogDeleteStatusText(deletion, LogViewRefresh()));
}

void TLogViewPage::ToolButton15Click(TObject*) { LogViewRefresh(); }
void TLogViewPage::ToolButton16Click(TObject*) { LogViewRefresh(); }

// The flags tree as User Settings left it (no "Lock Workstation" off the NT line).
int TLogViewPage::FlagNodeCount() const { return Form()->UserSettingsPage->FlagNodeCount(); }

TLogRow TLogViewPage::Row(int index) const {
  if (index < 0 || index >= RowCount()) return {};
  if (index != cached_index_) {
    cached_row_ = LogRowFor(records_[static_cast<std::size_t>(index)], shown_view_, FlagNodeCount());
    cached_index_ = index;
  }
  return cached_row_;
}

void TLogViewPage::LogListData(TObject*, int index, int column, std::string& text) {
  if (index < 0 || index >= RowCount() || column < 0 || column >= kLogColumnCount) return;
  text = Row(index)[static_cast<std::size_t>(column)];
}

void TLogViewPage::LogListColumnClick(TObject*, int column) {
  // The rows are ours in a virtual list, so the column sort is ours too.
  if (column < 0 || column >= kLogColumnCount) return;
  std::vector<std::pair<std::string, std::size_t>> keys;
  keys.reserve(records_.size());
  for (std::size_t i = 0; i < records_.size(); ++i)
    keys.emplace_back(LogRowFor(records_[i], shown_view_, FlagNodeCount())[static_cast<std::size_t>(column)], i);
  std::stable_sort(keys.begin(), keys.end(),
                   [](const auto& a, const auto& b) { return CompareColumnTexts(a.first, b.first) < 0; });
  std::vector<std::string_view> sorted;
  sorted.reserve(records_.size());
  for (const auto& k : keys) sorted.push_back(records_[k.second]);
  records_ = std::move(sorted);
  cached_index_ = -1;
  LogList->Invalidate();
}
