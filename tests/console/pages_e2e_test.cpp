// The Configuration and Log View pages under Wine: TLKMain built in this
// program, driven through the pages' controls and handlers, read back
// through the registry, the log file and the list view's own cells.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/filereplace.h"
#include "base/locale.h"
#include "base/streams.h"
#include "console/core/configrules.h"
#include "console/core/logrows.h"
#include "console/win/configpage.h"
#include "console/win/desktoppage.h"
#include "console/win/lkmainform.h"
#include "console/win/logviewpage.h"
#include "console/win/usersettingspage.h"
#include "forms/win/application.h"
#include "gate/win/logmutex.h"
#include "shared/core/streamcol.h"
#include "shared/core/vigenere.h"
#include "shared/win/installpaths.h"
#include "shared/win/registro.h"
#include "shared/win/settings.h"
#include "shared/win/shelllink.h"
#include "tests/shared_win/winfixture.h"
#include "tests/support/testthread.h"

namespace {

bool g_halted = false;
void RecordHalt() { g_halted = true; }

// Every value of the block the page writes (InstallPath is left alone).
const char* const kPageValues[] = {"Authenticate", "doAuthenticate", "Masked",     "Malla",      "Malla_x",
                                   "Malla_y",      "IconSelect",     "doIconSelect", "SkinSelect", "SkinName",
                                   "SkinPreview",  "SkinRandom",     "ContextAuth",  "ContextIcon",
                                   "ContextUserSettings", "IconView", "IconLogView"};

void DeleteSettingValue(const char* name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, name);
  RegCloseKey(key);
}

// A value as stored: its registry type and raw bytes.
struct TStored {
  DWORD Type = REG_NONE;
  std::string Bytes;
  bool Exists = false;
};
TStored Stored(const char* name) {
  TStored s;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return s;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &s.Type, nullptr, &size) == ERROR_SUCCESS) {
    s.Bytes.resize(size);
    RegQueryValueExA(key, name, nullptr, &s.Type, reinterpret_cast<BYTE*>(s.Bytes.data()), &size);
    s.Bytes.resize(size);
    s.Exists = true;
  }
  RegCloseKey(key);
  return s;
}
std::string Dword(uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
std::string Sz(const std::string& s) { return s + '\0'; }

std::string VerbCommand(const char* verbKey) {
  return ReadRegistryValue(HKEY_CLASSES_ROOT, std::string(verbKey) + "\\command", "", TLkVariant("<none>")).AsString();
}

// A 24-bit bitmap file of one colour.
void WriteBitmapFile(const std::string& path, int w, int h, COLORREF colour) {
  TBitmap b;
  b.SetSize(w, h);
  b.Canvas()->Brush()->SetColor(static_cast<TColor>(colour));
  b.Canvas()->FillRect(TRect(0, 0, w, h));
  b.SaveToFile(path);
}

class Pages : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitialize(nullptr);
    InitInstallPaths();
  }

  void SetUp() override {
    lock_.emplace();
    ASSERT_TRUE(lock_->Held());
    g_halted = false;
    SetHaltHook(&RecordHalt);
    seam_.message_box = [this](const std::string& text, const std::string& caption, UINT flags) {
      boxes_.push_back({caption, text, flags});
      return answer_;
    };
    seam_.show_modal = [](TCustomForm&, int& result) {
      result = mrCancel;
      return true;
    };
    SetUiSeam(&seam_);
    for (const char* name : kPageValues) saved_[name] = Stored(name);
    for (const char* name : kPageValues) DeleteSettingValue(name);
    verbs_were_on_ = LinkContextVerbsPresent();
    SetLinkContextVerbs(false);
    folder_ = lkfix::ScratchFolder("pages") + "\\";
  }

  void TearDown() override {
    if (main_) TCustomForm::Free(main_);
    main_ = nullptr;
    for (const auto& [name, s] : saved_) {
      if (!s.Exists) {
        DeleteSettingValue(name.c_str());
        continue;
      }
      HKEY key;
      RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
      RegSetValueExA(key, name.c_str(), 0, s.Type, reinterpret_cast<const BYTE*>(s.Bytes.data()),
                     static_cast<DWORD>(s.Bytes.size()));
      RegCloseKey(key);
    }
    SetLinkContextVerbs(verbs_were_on_);
    for (const std::string& d : made_dirs_) {
      DeleteFileA((d + "\\main.bmp").c_str());
      RemoveDirectoryA(d.c_str());
    }
    SetUiSeam(nullptr);
    SetHaltHook(nullptr);
    lock_.reset();
  }

  TLKMain* Start() {
    main_ = new TLKMain(Application);
    return main_;
  }
  TConfigPage* Config() { return main_->ConfigPage; }
  TLogViewPage* LogView() { return main_->LogViewPage; }
  void ShowPage(int item) {
    main_->OutBarra->SetSelectedItem(item);
    main_->OutBarraItemClick(main_->OutBarra);
  }

  // A skin folder under the install folder's skins folder.
  std::string AddSkin(const std::string& name, bool withPicture, bool damaged = false) {
    const std::string dir = SkinsFolder() + name;
    lkfix::MakeFolders(dir);
    made_dirs_.push_back(dir);
    if (withPicture && !damaged) WriteBitmapFile(dir + "\\main.bmp", 40, 30, RGB(0, 128, 255));
    if (damaged) lkfix::WriteTextFile(dir + "\\main.bmp", "BM this is no bitmap");
    return name;
  }

  struct TBox {
    std::string Caption, Text;
    UINT Flags;
  };
  std::optional<lkfix::TPrefixLock> lock_;
  TUiSeam seam_;
  std::vector<TBox> boxes_;
  int answer_ = IDYES;
  std::map<std::string, TStored> saved_;
  bool verbs_were_on_ = false;
  std::string folder_;
  std::vector<std::string> made_dirs_;
  TLKMain* main_ = nullptr;
};

// ---- Configuration page

TEST_F(Pages, AnEmptySettingsBlockShowsTheDefaults) {
  TLKMain* m = Start();
  TConfigPage* c = Config();
  EXPECT_FALSE(c->CheckAuth->Checked());
  EXPECT_EQ(c->EditAuth->Text(), "");
  EXPECT_FALSE(c->CheckMasked->Checked());
  EXPECT_EQ(c->EditAuth->PasswordChar(), '\0');
  // The marker on the red square.
  EXPECT_EQ(m->State.OverlayColorName, "RED");
  EXPECT_EQ(c->La_equis_marca_el_lugar->Left(), 185);
  EXPECT_EQ(c->La_equis_marca_el_lugar->Top(), 20);
  EXPECT_EQ(c->ComboIconos->Items(), (std::vector<std::string>{" 0", " 1", " 2", " 3", " 4"}));
  EXPECT_EQ(c->ComboIconos->ItemIndex(), 0);
  EXPECT_EQ(c->shIconos->Count(), 5);
  EXPECT_FALSE(c->CheckIconSelect->Checked());
  ASSERT_FALSE(c->ComboSkins->Items().empty());
  EXPECT_EQ(c->ComboSkins->Items()[0], "Default");
  EXPECT_EQ(c->ComboSkins->ItemIndex(), 0);
  EXPECT_FALSE(c->CheckPreview->Checked());
  EXPECT_TRUE(c->ImageSkins->Picture()->Empty());
  EXPECT_FALSE(c->CheckRandom->Checked());
  for (TCheckBox* b : {c->CheckContext, c->CheckContextAuth, c->CheckContextIcon, c->CheckContextPerUser})
    EXPECT_FALSE(b->Checked()) << b->Caption();
  for (TCheckBox* b : {c->CheckContextAuth, c->CheckContextIcon, c->CheckContextPerUser})
    EXPECT_FALSE(b->Enabled()) << b->Caption();
  EXPECT_FALSE(m->State.ConfigChanged);  // loading fired the handlers; start-up cleared it
}

TEST_F(Pages, SaveWritesEveryValueWithItsType) {
  AddSkin("LkAqua", true);
  TLKMain* m = Start();
  TConfigPage* c = Config();
  c->CheckAuth->SetChecked(true);
  c->EditAuth->SetText("Open Sesame");
  c->CheckMasked->SetChecked(true);
  EXPECT_EQ(c->EditAuth->PasswordChar(), '*');
  c->RegionGreen->Click();
  c->ComboIconos->SetItemIndex(3);
  c->CheckIconSelect->SetChecked(true);
  const auto& skins = c->ComboSkins->Items();
  const int aqua = static_cast<int>(std::find(skins.begin(), skins.end(), "LkAqua") - skins.begin());
  ASSERT_LT(aqua, static_cast<int>(skins.size()));
  c->ComboSkins->SetItemIndex(aqua);
  c->CheckPreview->SetChecked(true);
  c->CheckRandom->SetChecked(true);
  c->CheckContext->SetChecked(true);
  c->CheckContextAuth->SetChecked(true);
  c->CheckContextIcon->SetChecked(true);
  c->CheckContextPerUser->SetChecked(true);
  EXPECT_TRUE(m->State.ConfigChanged);
  c->ToolButton8Click(c->ToolButton8);
  EXPECT_EQ(m->StatusText(), " Configuration data saved successfully.");
  EXPECT_FALSE(m->State.ConfigChanged);

  const struct {
    const char* name;
    DWORD type;
    std::string bytes;
  } expected[] = {
      {"Authenticate", REG_SZ, Sz(TLkVigenereCipher::DecryptText("Open Sesame", "2953"))},
      {"doAuthenticate", REG_DWORD, Dword(1)},
      {"Masked", REG_DWORD, Dword(1)},
      {"Malla", REG_SZ, Sz("GREEN")},
      {"Malla_x", REG_DWORD, Dword(153)},
      {"Malla_y", REG_DWORD, Dword(37)},
      {"IconSelect", REG_DWORD, Dword(3)},
      {"doIconSelect", REG_DWORD, Dword(1)},
      {"SkinSelect", REG_DWORD, Dword(static_cast<uint32_t>(aqua))},
      {"SkinName", REG_SZ, Sz("LkAqua")},
      {"SkinPreview", REG_DWORD, Dword(1)},
      {"SkinRandom", REG_DWORD, Dword(1)},
      {"ContextAuth", REG_DWORD, Dword(1)},
      {"ContextIcon", REG_DWORD, Dword(1)},
      {"ContextUserSettings", REG_DWORD, Dword(1)},
  };
  for (const auto& e : expected) {
    const TStored s = Stored(e.name);
    EXPECT_EQ(s.Type, e.type) << e.name;
    EXPECT_EQ(s.Bytes, e.bytes) << e.name;
  }

  // A new start shows what was saved, the password as typed.
  TCustomForm::Free(main_);
  main_ = nullptr;
  m = Start();
  c = Config();
  EXPECT_EQ(c->EditAuth->Text(), "Open Sesame");
  EXPECT_TRUE(m->State.PasswordRequired);
  EXPECT_EQ(m->State.ProgramPassword, "Open Sesame");
  EXPECT_EQ(m->State.OverlayColorName, "GREEN");
  EXPECT_EQ(c->La_equis_marca_el_lugar->Left(), 153);
  EXPECT_EQ(c->ComboIconos->ItemIndex(), 3);
  EXPECT_EQ(c->ComboSkins->Text(), "LkAqua");
  EXPECT_TRUE(c->CheckContextAuth->Enabled());
  EXPECT_FALSE(c->ImageSkins->Picture()->Empty());
  EXPECT_EQ(c->ImageSkins->Picture()->Width(), 40);
}

TEST_F(Pages, CancelShowsTheStoredValuesAgain) {
  TLKMain* m = Start();
  TConfigPage* c = Config();
  c->CheckMasked->SetChecked(true);
  c->RegionBlack->Click();
  c->EditAuth->SetText("typed");
  c->ToolButton9Click(c->ToolButton9);
  EXPECT_EQ(m->StatusText(), " Changes cancelled.");
  EXPECT_FALSE(m->State.ConfigChanged);
  EXPECT_FALSE(c->CheckMasked->Checked());
  EXPECT_EQ(c->EditAuth->Text(), "");
  EXPECT_EQ(m->State.OverlayColorName, "RED");
  EXPECT_EQ(c->La_equis_marca_el_lugar->Left(), 185);
  EXPECT_FALSE(Stored("Malla").Exists);  // nothing was written
}

TEST_F(Pages, AuthenticationWithoutAPasswordSavesTheRestOnly) {
  WriteSetting(LKData::Authenticate, TLkVigenereCipher::DecryptText("old", "2953"));
  TLKMain* m = Start();
  TConfigPage* c = Config();
  c->EditAuth->SetText("");
  c->CheckContext->SetChecked(true);
  c->CheckContextAuth->SetChecked(true);
  c->RegionCyan->Click();
  c->ToolButton8Click(c->ToolButton8);
  EXPECT_EQ(m->StatusText(), " You must enter a password.");
  EXPECT_FALSE(c->CheckAuth->Checked());
  EXPECT_FALSE(c->CheckContextAuth->Checked());
  EXPECT_TRUE(m->State.ConfigChanged);
  EXPECT_EQ(ReadSetting(LKData::Malla), "CYAN");  // the values before the password group
  EXPECT_EQ(ReadSetting(LKData::Authenticate), TLkVigenereCipher::DecryptText("old", "2953"));
  EXPECT_FALSE(Stored("ContextAuth").Exists);
  // Without authentication an empty password is stored.
  c->ToolButton8Click(c->ToolButton8);
  EXPECT_EQ(m->StatusText(), " Configuration data saved successfully.");
  EXPECT_EQ(Stored("Authenticate").Bytes, Sz(""));
}

TEST_F(Pages, APasswordIsStoredMinusTheKeyAndComesBackAsTyped) {
  for (const std::string typed : {"a", "pw42", "Longer password 123", "\xE9t\xE9"}) {
    TLKMain* m = Start();
    Config()->CheckAuth->SetChecked(true);
    Config()->EditAuth->SetText(typed);
    Config()->ToolButton8Click(nullptr);
    ASSERT_EQ(m->StatusText(), " Configuration data saved successfully.") << typed;
    std::string expected;
    for (std::size_t i = 0; i < typed.size(); ++i)
      expected += static_cast<char>(static_cast<unsigned char>(typed[i]) - "2953"[i % 4]);
    EXPECT_EQ(Stored("Authenticate").Bytes, Sz(expected)) << typed;
    TCustomForm::Free(main_);
    main_ = nullptr;
    m = Start();
    EXPECT_EQ(Config()->EditAuth->Text(), typed);
    EXPECT_EQ(m->State.ProgramPassword, typed);
    TCustomForm::Free(main_);
    main_ = nullptr;
  }
}

TEST_F(Pages, APasswordHoldingItsKeyByteIsRefused) {
  WriteSetting(LKData::Authenticate, TLkVigenereCipher::DecryptText("old", "2953"));
  WriteSetting(LKData::doAuthenticate, false);
  TLKMain* m = Start();
  TConfigPage* c = Config();
  c->CheckAuth->SetChecked(true);
  c->EditAuth->SetText("a9z");  // '9' is the key's second byte: stored as 0x00
  c->ToolButton8Click(c->ToolButton8);
  EXPECT_EQ(m->StatusText(), " This password cannot be stored, please choose another one.");
  EXPECT_TRUE(m->State.ConfigChanged);
  EXPECT_EQ(ReadSetting(LKData::Authenticate), TLkVigenereCipher::DecryptText("old", "2953"));
  EXPECT_FALSE(ReadSetting(LKData::doAuthenticate));
  EXPECT_TRUE(c->CheckAuth->Checked());  // the user's choice stays for the next try
}

TEST_F(Pages, AFailedWriteLeavesThePageChanged) {
  // A volatile "Protect" key refuses the (lasting) "command" key below it.
  DeleteRegistryKey(kProtectVerbKey, HKEY_CLASSES_ROOT);
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, kProtectVerbKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_WRITE, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  TLKMain* m = Start();
  Config()->CheckContext->SetChecked(true);
  EXPECT_THROW(Config()->ToolButton8Click(nullptr), ERegistryException);
  EXPECT_TRUE(m->State.ConfigChanged);
  DeleteRegistryKey(kProtectVerbKey, HKEY_CLASSES_ROOT);
}

TEST_F(Pages, TheVerbsAreWrittenAndRemoved) {
  TLKMain* m = Start();
  TConfigPage* c = Config();
  c->CheckContext->SetChecked(true);
  EXPECT_TRUE(c->CheckContextIcon->Enabled());
  c->ToolButton8Click(nullptr);
  EXPECT_EQ(VerbCommand(kRemoveProtectionVerbKey), ContextPath() + " /u \"%1\"");
  EXPECT_EQ(VerbCommand(kProtectVerbKey), ContextPath() + " /p \"%1\"");
  TCustomForm::Free(main_);
  main_ = nullptr;
  m = Start();
  c = Config();
  EXPECT_TRUE(c->CheckContext->Checked());  // read from the verb's key
  c->CheckContext->SetChecked(false);
  EXPECT_FALSE(c->CheckContextAuth->Enabled());
  c->ToolButton8Click(nullptr);
  EXPECT_FALSE(RegistryKeyExists(kRemoveProtectionVerbKey, HKEY_CLASSES_ROOT));
  EXPECT_FALSE(RegistryKeyExists(kProtectVerbKey, HKEY_CLASSES_ROOT));
  EXPECT_EQ(m->StatusText(), " Configuration data saved successfully.");
}

TEST_F(Pages, EachColourSquareMovesTheMarker) {
  TLKMain* m = Start();
  TConfigPage* c = Config();
  const struct {
    TLkMouseRegion* region;
    const char* colour;
    int left, top;
  } cases[] = {{c->RegionBlue, "BLUE", 153, 21},     {c->RegionCyan, "CYAN", 169, 21},
               {c->RegionRed, "RED", 185, 21},       {c->RegionGreen, "GREEN", 153, 37},
               {c->RegionYellow, "YELLOW", 169, 37}, {c->RegionBlack, "BLACK", 185, 37}};
  for (const auto& k : cases) {
    m->State.ConfigChanged = false;
    k.region->Click();
    EXPECT_EQ(m->State.OverlayColorName, k.colour);
    EXPECT_EQ(c->La_equis_marca_el_lugar->Left(), k.left) << k.colour;
    EXPECT_EQ(c->La_equis_marca_el_lugar->Top(), k.top) << k.colour;
    EXPECT_TRUE(m->State.ConfigChanged);
    EXPECT_EQ(k.region->Cursor(), crHandPoint);
  }
  // The marker draws a cross with whatever symbol font this system has.
  EXPECT_TRUE(FontHasGlyphs(*c->La_equis_marca_el_lugar->Font(), "r"));
  EXPECT_EQ(c->La_equis_marca_el_lugar->Caption(), "r");
}

// Loading the stored icon is no change; choosing another one is, so that
// Exit and the close box ask before dropping it.
TEST_F(Pages, ChoosingAnotherIconIsAChange) {
  TLKMain* m = Start();
  EXPECT_FALSE(m->State.ConfigChanged);
  TImageComboBox* icons = Config()->ComboIconos;
  SendMessageA(icons->Handle(), WM_KEYDOWN, VK_DOWN, 1);  // as the administrator picks one
  EXPECT_EQ(icons->ItemIndex(), 1);
  EXPECT_TRUE(m->State.ConfigChanged);
  m->State.ConfigChanged = false;
}

TEST_F(Pages, StoredChoicesOutOfRangeTakeTheirFirstValue) {
  WriteSetting(LKData::IconSelect, 9);
  WriteSetting(LKData::SkinSelect, -4);
  WriteSetting(LKData::IconLogView, 5);
  WriteSetting(LKData::Malla, "PINK");
  TLKMain* m = Start();
  EXPECT_EQ(Config()->ComboIconos->ItemIndex(), 0);
  EXPECT_EQ(Config()->ComboSkins->ItemIndex(), 0);
  EXPECT_TRUE(LogView()->ToolButton16->Down());
  EXPECT_FALSE(LogView()->ToolButton15->Down());
  EXPECT_EQ(m->State.OverlayColorName, "RED");
}

// Protect gives links the gate icon as saved: a position shown in the
// combo but not saved never reaches them, and a saved position the gate has
// no icon for is its first icon.
TEST_F(Pages, ProtectTakesTheSavedGateIcon) {
  const std::string desktop = UserDesktopFolder();
  lkfix::MakeFolders(desktop);
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string link = desktop + "\\lk Icon Choice.lnk";
  WriteSetting(LKData::doIconSelect, true);
  const struct {
    int saved, expected;
  } cases[] = {{3, 3}, {9, 0}, {-2, 0}};
  for (const auto& c : cases) {
    TShellLink plain;
    plain.Target = self;
    ASSERT_EQ(WriteShellLink(plain, link), S_OK);
    WriteSetting(LKData::IconSelect, c.saved);
    TLKMain* m = Start();
    Config()->ComboIconos->SetItemIndex(1);  // shown, not saved
    TLkListView* list = m->DesktopPage->DesktopLista;
    list->HandleNeeded();
    list->ClearSelection();
    for (int i = 0; i < list->Count(); ++i)
      if (list->Items(i)->Caption() == "lk Icon Choice") list->Items(i)->SetSelected(true);
    m->DesktopPage->ProtectSelected(0);
    EXPECT_EQ(m->StatusText(), " Protection implemented.") << c.saved;
    TShellLink p;
    ASSERT_EQ(ReadShellLink(link, p), S_OK);
    EXPECT_TRUE(AnsiSameText(p.IconFile, GatePath())) << p.IconFile;
    EXPECT_EQ(p.IconIndex, c.expected) << c.saved;
    TCustomForm::Free(main_);
    main_ = nullptr;
  }
  DeleteFileA(link.c_str());
}

TEST_F(Pages, TheSkinIsChosenByItsNameBeforeItsPosition) {
  AddSkin("LkAqua", false);
  AddSkin("LkSteel", false);
  WriteSetting(LKData::SkinName, "lksteel");  // folder names ignore case
  WriteSetting(LKData::SkinSelect, 1);        // another folder sorts there now
  Start();
  EXPECT_EQ(Config()->ComboSkins->Text(), "LkSteel");
  TCustomForm::Free(main_);
  main_ = nullptr;
  // A name no longer listed: the stored position.
  WriteSetting(LKData::SkinName, "Gone");
  Start();
  EXPECT_EQ(Config()->ComboSkins->ItemIndex(), 1);
}

TEST_F(Pages, ThePreviewShowsTheChosenSkinsPicture) {
  AddSkin("LkAqua", true);
  AddSkin("LkBare", false);
  AddSkin("LkBroken", true, true);
  TLKMain* m = Start();
  TConfigPage* c = Config();
  auto choose = [&](const std::string& name) {
    const auto& skins = c->ComboSkins->Items();
    c->ComboSkins->SetItemIndex(static_cast<int>(std::find(skins.begin(), skins.end(), name) - skins.begin()));
    c->ComboSkinsChange(c->ComboSkins);
  };
  c->CheckPreview->SetChecked(true);
  // The built-in skin shows the program's own "SKINDEF" picture.
  EXPECT_EQ(c->ImageSkins->Picture()->Width(), 300);
  EXPECT_EQ(c->ImageSkins->Picture()->Height(), 196);
  EXPECT_TRUE(c->ImageSkins->Stretch());
  EXPECT_EQ(c->ImageSkins->Width(), 72);
  EXPECT_EQ(c->ImageSkins->Height(), 49);
  choose("LkAqua");
  EXPECT_EQ(c->ImageSkins->Picture()->Width(), 40);
  choose("LkBare");
  EXPECT_TRUE(c->ImageSkins->Picture()->Empty());
  choose("LkAqua");
  choose("LkBroken");  // no message, no picture
  EXPECT_TRUE(c->ImageSkins->Picture()->Empty());
  EXPECT_TRUE(boxes_.empty());
  choose("LkAqua");
  c->CheckPreview->SetChecked(false);
  EXPECT_TRUE(c->ImageSkins->Picture()->Empty());
  EXPECT_TRUE(m->State.ConfigChanged);
}

TEST_F(Pages, ExitWithBothPagesChangedAsksAboutEach) {
  TLKMain* m = Start();
  m->State.ConfigChanged = m->State.UserSettingsChanged = true;
  const int answers[] = {IDYES, IDNO};
  int asked = 0;
  seam_.message_box = [&](const std::string& text, const std::string& caption, UINT flags) {
    boxes_.push_back({caption, text, flags});
    return answers[asked++];
  };
  ShowPage(5);
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(boxes_[0].Text, "\"Configuration\" changes are not saved. Do you want to exit anyway?");
  EXPECT_EQ(boxes_[1].Text, "\"User settings\" changes are not saved. Do you want to exit anyway?");
  EXPECT_EQ(boxes_[1].Flags & (MB_TYPEMASK | MB_ICONMASK | MB_DEFMASK), UINT(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
  EXPECT_EQ(m->OutBarra->SelectedItem(), 2);  // No: the User Settings page shows
  m->State.ConfigChanged = m->State.UserSettingsChanged = false;
}

// The close box asks the Exit questions too: "No" keeps the window, shows
// the changed page and keeps the change.
TEST_F(Pages, TheCloseBoxAsksAsExitDoes) {
  TLKMain* m = Start();
  m->Show();
  m->State.ConfigChanged = true;
  answer_ = IDNO;
  SendMessageA(m->Handle(), WM_CLOSE, 0, 0);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].Caption, "Warning!");
  EXPECT_EQ(boxes_[0].Text, "\"Configuration\" changes are not saved. Do you want to exit anyway?");
  EXPECT_TRUE(IsWindowVisible(m->Handle()));
  EXPECT_EQ(m->OutBarra->SelectedItem(), 1);
  EXPECT_TRUE(m->ConfigPage->PageShown());
  EXPECT_TRUE(m->State.ConfigChanged);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "the application was ended";
  m->State.ConfigChanged = false;
}

// ---- Log View page

// A log file of records named as given.
void WriteLog(const std::string& path, const std::vector<std::pair<std::string, std::string>>& records,
              bool compressed = true, bool encrypted = true) {
  TLkStreams log(nullptr);
  log.SetCompressed(compressed);
  log.SetEncrypted(encrypted);
  log.SetKey("4617");
  for (const auto& [name, text] : records) {
    TMemoryStream m;
    m.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    log.AddStream(name, m);
  }
  log.SaveToFile(path);
}

// The cells as the list view shows them, asked of the control itself.
std::vector<std::vector<std::string>> ListCells(TListView* list) {
  std::vector<std::vector<std::string>> rows;
  HWND h = list->Handle();
  const int n = static_cast<int>(SendMessageA(h, LVM_GETITEMCOUNT, 0, 0));
  for (int r = 0; r < n; ++r) {
    std::vector<std::string> row;
    for (int c = 0; c < kLogColumnCount; ++c) {
      char text[512] = {};
      LVITEMA item{};
      item.iSubItem = c;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      SendMessageA(h, LVM_GETITEMTEXTA, r, reinterpret_cast<LPARAM>(&item));
      row.push_back(text);
    }
    rows.push_back(row);
  }
  return rows;
}

const std::vector<std::pair<std::string, std::string>> kSampleLog = {
    {"1", "alice\r\nC:\\Program Files\\Tools\\calc.exe\r\n2:05 PM - 12/10/2026\r\n"},
    {"2", "bob\r\nC:\\Games\\sol.exe\r\n2:10 PM - 12/10/2026\r\n3:40 PM - 12/10/2026\r\n"},
    {"3", "carol\r\nD:\\run.bat\r\n11:50 PM - 12/10/2026\r\n12:05 AM - 12/11/2026\r\n8\r\n"},
    {"5", "dave\r\n"},  // damaged, and "4" was deleted
    {"10", "erin\r\nC:\\a.exe\r\n14.05 - 10.12.2026\r\n14.20 - 10.12.2026\r\n11\r\n"},
};

TEST_F(Pages, TheLogShowsOneRowPerRecordWhateverItHolds) {
  const std::string log = folder_ + "lmlog.bin";
  WriteLog(log, kSampleLog);
  TLKMain* m = Start();
  LogView()->LogFileName = log;
  ShowPage(3);
  WORD f5 = VK_F5;
  m->FormKeyDown(m, f5, 0);
  EXPECT_EQ(m->StatusText(), " Log data refreshed.");
  using R = std::vector<std::string>;
  EXPECT_EQ(ListCells(LogView()->LogList),
            (std::vector<R>{R{"alice", "calc.exe", "2:05 PM - 12/10/2026", "n/a", "-"},
                            R{"bob", "sol.exe", "2:10 PM - 12/10/2026", "1:30:00", "-"},
                            R{"carol", "run.bat", "11:50 PM - 12/10/2026", "0:15:00", "Shutdown"},
                            R{"dave", "n/a", "n/a", "n/a", "n/a"},
                            R{"erin", "a.exe", "14.05 - 10.12.2026", "n/a", "11"}}));
  EXPECT_TRUE(boxes_.empty());
  // Full paths after "Full path view", file names again after "Filename view".
  LogView()->ToolButton15->SetDown(true);
  LogView()->ToolButton15Click(LogView()->ToolButton15);
  auto cells = ListCells(LogView()->LogList);
  ASSERT_EQ(cells.size(), 5u);
  EXPECT_EQ(cells[0][1], "C:\\Program Files\\Tools\\calc.exe");
  EXPECT_EQ(cells[2][1], "D:\\run.bat");
  LogView()->ToolButton16->SetDown(true);
  LogView()->ToolButton16Click(LogView()->ToolButton16);
  EXPECT_EQ(ListCells(LogView()->LogList)[0][1], "calc.exe");
  // A click on "Total" sorts the rows by it, as the list's columns sort.
  NMLISTVIEW click{};
  click.hdr.hwndFrom = LogView()->LogList->Handle();
  click.hdr.code = LVN_COLUMNCLICK;
  click.iSubItem = 3;
  SendMessageA(LogView()->LogPanel->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
  cells = ListCells(LogView()->LogList);
  EXPECT_EQ(cells[0][3], "0:15:00");
  EXPECT_EQ(cells[1][3], "1:30:00");
  EXPECT_EQ(cells[4][3], "n/a");
}

// The "Action" column names the node of the flags tree as User Settings
// has it: off the NT line, where "Lock Workstation" is gone, its code is
// shown as it was stored.
TEST_F(Pages, TheActionColumnFollowsTheFlagsTreeOfUserSettings) {
  const std::string log = folder_ + "lmlog.bin";
  WriteLog(log, {{"1", "alice\r\nC:\\a.exe\r\n1:00 PM - 12/10/2026\r\n1:05 PM - 12/10/2026\r\n10\r\n"}});
  TLKMain* m = Start();
  LogView()->LogFileName = log;
  ShowPage(3);
  WORD f5 = VK_F5;
  m->FormKeyDown(m, f5, 0);
  ASSERT_EQ(ListCells(LogView()->LogList).at(0).at(4), "Lock Workstation");
  m->UserSettingsPage->DeleteLockWorkstationOption();
  m->FormKeyDown(m, f5, 0);
  EXPECT_EQ(ListCells(LogView()->LogList).at(0).at(4), "10");
}

TEST_F(Pages, AMissingOrUnreadableLogShowsNothingAndSaysNotFound) {
  const std::string log = folder_ + "lmlog.bin";
  Start();
  LogView()->LogFileName = log;
  const std::pair<const char*, std::string> cases[] = {
      {"missing", ""}, {"corrupt", "&*garbage that is no container"}, {"cut", "  \x01\x02\x03\x04\x05\x06"}};
  for (const auto& [name, bytes] : cases) {
    DeleteFileA(log.c_str());
    if (!bytes.empty()) lkfix::WriteTextFile(log, bytes);
    LogView()->LogViewRefresh();
    EXPECT_EQ(main_->StatusText(), " Log file not found.") << name;
    EXPECT_EQ(LogView()->RowCount(), 0) << name;
    EXPECT_EQ(SendMessageA(LogView()->LogList->Handle(), LVM_GETITEMCOUNT, 0, 0), 0) << name;
  }
  // A user may write the log and so make it larger than this process can
  // hold: it is refused unread, like a damaged one (sparse, 1.5 GB).
  DeleteFileA(log.c_str());
  lkfix::WriteTextFile(log, "");
  std::filesystem::resize_file(log, 1536ull * 1024 * 1024);
  LogView()->LogViewRefresh();
  EXPECT_EQ(main_->StatusText(), " Log file not found.");
  EXPECT_EQ(LogView()->RowCount(), 0);
  DeleteFileA(log.c_str());
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(Screen->Cursor(), crDefault);
}

// The installation makes "lmlog.bin" as a file of no bytes, and the gate
// appends to it as to a new log.
TEST_F(Pages, ALogFileOfNoBytesIsAnEmptyLog) {
  const std::string log = folder_ + "lmlog.bin";
  lkfix::WriteTextFile(log, "");
  ASSERT_TRUE(FileExists(log));
  Start();
  LogView()->LogFileName = log;
  LogView()->LogViewRefresh();
  EXPECT_EQ(main_->StatusText(), " Log data refreshed.");
  EXPECT_EQ(LogView()->RowCount(), 0);
  EXPECT_EQ(SendMessageA(LogView()->LogList->Handle(), LVM_GETITEMCOUNT, 0, 0), 0);
  // It is there to delete, and a refresh after a record came shows it.
  WriteLog(log, {kSampleLog[0]});
  LogView()->LogViewRefresh();
  EXPECT_EQ(LogView()->RowCount(), 1);
  lkfix::WriteTextFile(log, "");
  answer_ = IDYES;
  LogView()->ToolButton11Click(LogView()->ToolButton11);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].Caption, "Confirmation");
  EXPECT_FALSE(FileExists(log));
  EXPECT_EQ(main_->StatusText(), " Log file not found.");
}

TEST_F(Pages, DeletingAsksFirstAndNoIsTheDefault) {
  const std::string log = folder_ + "lmlog.bin";
  WriteLog(log, kSampleLog);
  Start();
  LogView()->LogFileName = log;
  answer_ = IDNO;
  LogView()->ToolButton11Click(LogView()->ToolButton11);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].Caption, "Confirmation");
  EXPECT_EQ(boxes_[0].Text, "The log file will be deleted. \r\nAre you sure?");
  EXPECT_EQ(boxes_[0].Flags & (MB_TYPEMASK | MB_ICONMASK | MB_DEFMASK), UINT(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
  EXPECT_TRUE(FileExists(log));
  EXPECT_EQ(main_->StatusText(), " Log data refreshed.");
  EXPECT_EQ(LogView()->RowCount(), 5);
  answer_ = IDYES;
  LogView()->ToolButton11Click(LogView()->ToolButton11);
  EXPECT_FALSE(FileExists(log));
  EXPECT_EQ(main_->StatusText(), " Log file not found.");
  EXPECT_EQ(LogView()->RowCount(), 0);
  // No file: no question, only the refresh.
  LogView()->ToolButton11Click(LogView()->ToolButton11);
  EXPECT_EQ(boxes_.size(), 2u);
}

// A gate's replace by renames (the 9x line) stopped between its moves
// leaves the log under its aside name only: the view puts it back and shows
// it. Deleting takes a stale copy too, which would otherwise come back as
// the log at the next refresh.
TEST_F(Pages, ALogLeftAsideByAStoppedReplaceIsShownAndDeletedWhole) {
  const std::string log = folder_ + "lmlog.bin", aside = lk_replace::AsideName(log);
  WriteLog(aside, kSampleLog);
  Start();
  LogView()->LogFileName = log;
  LogView()->LogViewRefresh();
  EXPECT_EQ(main_->StatusText(), " Log data refreshed.");
  EXPECT_EQ(LogView()->RowCount(), 5);
  EXPECT_TRUE(FileExists(log));
  EXPECT_FALSE(FileExists(aside));

  WriteLog(aside, {kSampleLog[0]});  // stale: the log beside it is whole
  LogView()->LogViewRefresh();
  EXPECT_EQ(LogView()->RowCount(), 5);
  answer_ = IDYES;
  LogView()->ToolButton11Click(LogView()->ToolButton11);
  EXPECT_FALSE(FileExists(log));
  EXPECT_FALSE(FileExists(aside));
  EXPECT_EQ(main_->StatusText(), " Log file not found.");
  EXPECT_EQ(LogView()->RowCount(), 0);
}

// A log that cannot be deleted (a program holds it open) is said to be
// still there after the refresh, which shows its rows again.
TEST_F(Pages, AFailedDeletionIsToldAfterTheRefresh) {
  const std::string log = folder_ + "lmlog.bin";
  WriteLog(log, kSampleLog);
  Start();
  LogView()->LogFileName = log;
  HANDLE held = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  answer_ = IDYES;
  LogView()->ToolButton11Click(LogView()->ToolButton11);
  CloseHandle(held);
  EXPECT_TRUE(FileExists(log));
  EXPECT_EQ(main_->StatusText(), " Unable to delete file.");
  EXPECT_EQ(LogView()->RowCount(), 5);
}

TEST_F(Pages, DeletingWaitsForAGateThatIsAppending) {
  const std::string log = folder_ + "lmlog.bin";
  WriteLog(log, kSampleLog);
  Start();
  LogView()->LogFileName = log;
  std::atomic<bool> held{false};
  std::atomic<int> cursor{crDefault};
  TTestThread gate([&] {
    TLogFileLock lock;
    held = true;
    Sleep(1000);
    cursor = Screen->Cursor();  // the console is waiting for this lock now
    Sleep(500);
  });
  while (!held) Sleep(5);
  const DWORD start = GetTickCount();
  LogView()->ToolButton11Click(nullptr);
  const DWORD took = GetTickCount() - start;
  gate.join();
  EXPECT_GE(took, 1000u);  // it waited for the gate's append
  EXPECT_EQ(cursor, crHourGlass) << "no hourglass while waiting";
  EXPECT_EQ(Screen->Cursor(), crDefault);
  EXPECT_FALSE(FileExists(log));
}

TEST_F(Pages, TheViewButtonComesBackAtTheNextStart) {
  WriteSetting(LKData::IconLogView, 1);
  Start();
  EXPECT_TRUE(LogView()->ToolButton15->Down());
  EXPECT_FALSE(LogView()->ToolButton16->Down());
  LogView()->ToolButton16->SetDown(true);
  TCustomForm::Free(main_);
  main_ = nullptr;
  EXPECT_EQ(Stored("IconLogView").Bytes, Dword(0));
  EXPECT_EQ(Stored("IconLogView").Type, DWORD(REG_DWORD));
}

// Three writers append as gates do (under the log mutex) while the console
// deletes the log again and again. After the last deletion, every record a
// writer saved once the deletion was over is there, and none saved before it
// came back.
TEST_F(Pages, GatesAppendingWhileTheConsoleDeletesLoseNothing) {
  const std::string log = folder_ + "lmlog.bin";
  Start();
  LogView()->LogFileName = log;
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  auto nowMs = [&] {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
  };
  const std::string writer = lkfix::ProgramFolder() + "console_log_writer.exe";
  std::vector<std::unique_ptr<lkfix::TRunningProgram>> writers;
  for (const char* who : {"a", "b", "c"}) {
    const std::string out = folder_ + who + ".txt";
    writers.push_back(std::make_unique<lkfix::TRunningProgram>("\"" + writer + "\" \"" + log + "\" 400 " + who + " \"" +
                                                              out + "\""));
  }
  double before = 0, after = 0;
  for (int round = 0; round < 12; ++round) {
    Sleep(40);
    before = nowMs();
    LogView()->ToolButton11Click(nullptr);
    after = nowMs();
  }
  for (auto& w : writers) ASSERT_TRUE(w->Wait(120000));
  TLkStreams c(nullptr);
  c.SetKey("4617");
  std::set<std::string> present;
  if (FileExists(log)) {
    c.LoadFromFile(log);
    for (int i = 0; i < c.Count(); ++i) {
      TMemoryStream m;
      c.GetStream(c.StreamList()[i], m);
      const TLogRecord r = DecodeLogRecord(m.AsString());
      present.insert(r.UserName + " " + r.StartTime);
    }
  }
  int afterCount = 0;
  for (const char* who : {"a", "b", "c"}) {
    std::istringstream lines(lkfix::ReadTextFile(folder_ + who + ".txt"));
    std::string index;
    double stamp;
    while (lines >> index >> stamp) {
      const std::string key = std::string(who) + " " + index;
      if (stamp > after) {
        ++afterCount;
        EXPECT_TRUE(present.count(key)) << key << " was saved after the last deletion and is gone";
      }
      if (stamp < before) {
        EXPECT_FALSE(present.count(key)) << key << " was deleted and came back";
      }
    }
  }
  EXPECT_GT(afterCount, 0);  // the writers went on after the deletions
}

}  // namespace
