// The Log View page: one row per logged run of the gate, from the log file
// "lmlog.bin", with the target as a file name or a full path, refreshed on
// demand and deleted on request.
//
// The log is read through a container of the page's own: a file the gate
// writes (and users can) never decides how anything else is saved. The list
// is virtual: the loaded containers are kept, the records are viewed in
// them in the order shown, and a row's texts are made when the list view
// asks for a cell of it, so a log of any length shows at once.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "console/core/logrows.h"
#include "console/win/consolepage.h"
#include "controls/win/framedlistview.h"
#include "shared/core/streamcol.h"

class TLogViewPage : public TConsolePage {
 public:
  explicit TLogViewPage(TLKMain* form);

  TLkCaptionPanel* LogPanel;
  TPanel* PanelLog;
  TToolBar* ToolBar4;
  TToolButton* ToolButton16;  // "Filename view"
  TToolButton* ToolButton15;  // "Full path view"
  TToolButton* ToolButton13;  // "Refresh"
  TToolButton* ToolButton11;  // "Delete log file"
  TLkListView* LogList;
  TLkStreams* LogStreams = nullptr;  // the container loaded last (null before)

  // The log file read and deleted; LogPath unless a test or benchmark says otherwise.
  std::string LogFileName;

  // The page's face: the pressed view button comes back at start and is
  // kept at close ("IconLogView").
  void StartUp() override;
  void Closing() override;
  void RefreshKey() override { LogViewRefresh(); }

  // Adds the log's rows (the list is not cleared); false when there is no
  // log or it cannot be read.
  bool LoadLogView();
  // True when the log was read.
  bool LogViewRefresh();
  void ToolButton11Click(TObject* sender);  // delete
  void ToolButton15Click(TObject* sender);
  void ToolButton16Click(TObject* sender);
  void ToolButton13Click(TObject* sender) { LogViewRefresh(); }

  int RowCount() const { return static_cast<int>(records_.size()); }
  // The texts of row `index` as the list shows them.
  TLogRow Row(int index) const;
  TLogPathView PathView() const;

 private:
  void BuildPage();
  void LogListData(TObject* sender, int index, int column, std::string& text);
  void LogListColumnClick(TObject* sender, int column);
  int FlagNodeCount() const;
  std::vector<std::unique_ptr<TLkStreams>> loaded_;  // what the shown rows are read from
  std::vector<std::string_view> records_;            // each record's bytes, in the order shown
  TLogPathView shown_view_ = TLogPathView::lpFileName;  // the view the rows were loaded in
  // The row the list asked for last: it asks cell by cell.
  mutable int cached_index_ = -1;
  mutable TLogRow cached_row_;
};
