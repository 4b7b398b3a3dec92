// The Desktop page's file-command rules: status texts from what was copied,
// view buttons, the stored view position and the browse caption.
#include <gtest/gtest.h>

#include "console/core/filecommands.h"

namespace {

TEST(FileCommands, StatusTextsSayWhatWasCopied) {
  struct Row {
    int total, copied;
    const char* backup;
    const char* restore;
    const char* paste;
  };
  const Row rows[] = {
      {3, 3, " Selected file(s) backup process was successful.", " Backup file(s) restored successfully.", ""},
      {3, 1, " Backup failed for 2 of 3 file(s).", " Restore failed for 2 of 3 file(s).",
       " Paste failed for 2 of 3 file(s)."},
      // A cancelled first copy: nothing copied, no success text.
      {1, 0, " Backup failed for 1 of 1 file(s).", " Restore failed for 1 of 1 file(s).",
       " Paste failed for 1 of 1 file(s)."},
      // Nothing found to restore.
      {0, 0, " Selected file(s) backup process was successful.", " No backup files were found.", ""},
  };
  for (const Row& r : rows) {
    const TCopyOutcome o{r.total, r.copied};
    EXPECT_EQ(BackupStatusText(o), r.backup) << r.total << "/" << r.copied;
    EXPECT_EQ(RestoreStatusText(o), r.restore) << r.total << "/" << r.copied;
    EXPECT_EQ(PasteStatusText(o), r.paste) << r.total << "/" << r.copied;
  }
}

TEST(FileCommands, ViewButtonsAndStoredPosition) {
  // The tool bar's buttons: "Large icons" Tag 0, "Small icons" Tag 2, "List" Tag 3.
  EXPECT_EQ(ViewOfTag(0), TLinkView::lvIcon);
  EXPECT_EQ(ViewOfTag(2), TLinkView::lvList);
  EXPECT_EQ(ViewOfTag(3), TLinkView::lvReport);
  EXPECT_EQ(ViewOfTag(1), TLinkView::lvSmallIcon);
  EXPECT_EQ(ViewOfTag(9), TLinkView::lvIcon);
  const std::pair<int, int> stored[] = {{0, 0}, {2, 2}, {3, 0}, {7, 0}, {-1, 0}};
  for (auto [in, out] : stored) EXPECT_EQ(ViewButtonPosition(in, 3), out) << in;
  EXPECT_EQ(ViewButtonPosition(1, 2), 1);  // the log's two buttons
  EXPECT_EQ(ViewButtonPosition(2, 2), 0);
}

TEST(FileCommands, BrowseCaption) {
  EXPECT_EQ(BrowseCaption(0), "No Shortcuts Found");
  EXPECT_EQ(BrowseCaption(4), "Browsing Directory");
}

}  // namespace
