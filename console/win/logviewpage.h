// The Log View page: the records of protected launches.
#pragma once

#include "console/win/consolepage.h"

class TLogViewPage : public TConsolePage {
 public:
  explicit TLogViewPage(TLKMain* form);

  TLkCaptionPanel* LogPanel;
  TPanel* PanelLog;

  void StartUp() override { LoadLogView(); }
  void RefreshKey() override { LogViewRefresh(); }

  void LoadLogView();
  void LogViewRefresh();
};
