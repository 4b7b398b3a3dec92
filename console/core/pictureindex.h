// Positions of the console's own pictures in its two image lists. The
// build-time generator (console/res/mkres.cpp) draws the pictures in this
// order into one strip per list, the main window loads each strip into its
// list, and the side bar, the tool bars and the link menu name a picture by
// these positions. Plain C++17: the generator includes it too.
#pragma once

// IconosMain (32 x 32): the side bar's items. The items take 0, 1, 2, 5, 3,
// 4 in their order ("Shorcut View" ... "Exit"), so "View Log" is the last.
enum TMainPicture : int {
  mpShortcuts = 0,
  mpConfiguration = 1,
  mpUserSettings = 2,
  mpAbout = 3,
  mpExit = 4,
  mpLog = 5,
  kMainPictureCount
};

// IconosMenus (16 x 16): the tool buttons and the link list's menu.
enum TMenuPicture : int {
  mnLargeIcons = 0,
  mnSmallIcons,
  mnReport,
  mnRefresh,
  mnNewLink,
  mnCancel,
  mnDeleteLog,
  mnSaveConfig,
  mnSaveUsers,
  mnFileNameView,
  mnFullPathView,
  mnProtect,
  mnRevert,
  mnCopy,
  mnPaste,
  mnSelectAll,
  mnBackup,
  mnRestore,
  mnDelete,
  mnExecute,
  mnProperties,
  mnAllUsers,
  mnOneUser,
  kMenuPictureCount
};
