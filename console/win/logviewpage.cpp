#include "console/win/logviewpage.h"

#include "console/win/lkmainform.h"

namespace {
const TConsolePageFace kLogViewFace{"LogPanel", "Log View", "PanelLog", "ToolBar4", 7};
}  // namespace

TLogViewPage::TLogViewPage(TLKMain* form) : TConsolePage(form, kLogViewFace) {
  LogPanel = Panel;
  PanelLog = ToolPanel;
}

void TLogViewPage::LoadLogView() {}
void TLogViewPage::LogViewRefresh() {}
