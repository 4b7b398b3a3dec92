// The recent-folder list under Wine: its items at the top of a popup menu
// and in a file menu, clicks, and the registry and INI storage.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/win/mru.h"
#include "forms/win/forms.h"
#include "tests/controls/win_support.h"

namespace {

// A key of its own under HKCU, removed after each case.
const char kBase[] = "Software\\Velmora\\LockmereDeskTest";

std::vector<std::pair<std::string, std::string>> Values(const std::string& key) {
  std::vector<std::pair<std::string, std::string>> out;
  HKEY h;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return out;
  for (DWORD i = 0;; ++i) {
    char name[256], data[1024];
    DWORD n = sizeof name, d = sizeof data, type = 0;
    if (RegEnumValueA(h, i, name, &n, nullptr, &type, reinterpret_cast<BYTE*>(data), &d) != ERROR_SUCCESS) break;
    out.emplace_back(name, type == REG_SZ ? std::string(data) : "<not a string>");
  }
  RegCloseKey(h);
  return out;
}

void Put(const std::string& key, const std::string& name, const std::string& data) {
  HKEY h;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(h, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>(data.size() + 1));
  RegCloseKey(h);
}

std::vector<std::string> Captions(TMenuItem* parent) {
  std::vector<std::string> out;
  for (int i = 0; i < parent->Count(); ++i) out.push_back(parent->Items(i)->Caption());
  return out;
}

class MRUTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kBase);
    form = new TForm(nullptr);
    popup = new TPopupMenu(form);
    for (const char* c : {"-", "Start Menu: Current User", "Start Menu: All Users"}) {
      auto* item = new TMenuItem(form);
      item->SetCaption(c);
      popup->Items()->Add(item);
    }
  }
  void TearDown() override {
    TCustomForm::Free(form);
    RegDeleteTreeA(HKEY_CURRENT_USER, kBase);
  }
  // A list as the console keeps its own, under the test's key.
  TLkMRUFileList* NewList() {
    auto* l = new TLkMRUFileList(form);
    l->SetAutoSave(false);
    l->SetAutoSaveRootKey(TRootKey::rkCurrentUser);
    l->SetAutoSaveName(std::string("\\") + kBase);
    l->SetRemoveOnClick(false);
    l->SetUseSubmenu(true);
    l->SetPopupMenu(popup);
    l->SetAutoSave(true);
    l->Load();  // as the list does once its form is loaded
    return l;
  }
  TForm* form = nullptr;
  TPopupMenu* popup = nullptr;
};

TEST_F(MRUTest, EntriesHeadThePopupNewestFirst) {
  TLkMRUFileList* l = NewList();
  for (const char* f : {"C:\\one", "C:\\R&D", "C:\\three"}) l->AddEntry(f);
  EXPECT_EQ(Captions(popup->Items()),
            (std::vector<std::string>{"&1 C:\\three", "&2 C:\\R&&D", "&3 C:\\one", "-", "Start Menu: Current User",
                                      "Start Menu: All Users"}));
  // Only the entries: no separator, sub-menu, Clear or Remove Obsolete.
  const auto items = l->PopupItems();
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[1]->FullCaption, "&2 C:\\R&D");
  EXPECT_EQ(items[1]->ItemNumber, 2);
  // The same folder in other letter case moves to the top; a sixth drops the oldest.
  l->AddEntry("c:\\ONE");
  EXPECT_EQ(l->Entries().Items(), (std::vector<std::string>{"C:\\one", "C:\\three", "C:\\R&D"}));
  for (const char* f : {"C:\\4", "C:\\5", "C:\\6"}) l->AddEntry(f);
  EXPECT_EQ(l->Entries().Items(), (std::vector<std::string>{"C:\\6", "C:\\5", "C:\\4", "C:\\one", "C:\\three"}));
  EXPECT_EQ(popup->Items()->Count(), 8);
}

TEST_F(MRUTest, AClickReportsTheEntryAndKeepsIt) {
  TLkMRUFileList* l = NewList();
  l->AddEntry("C:\\a");
  l->AddEntry("C:\\b");
  std::vector<std::string> clicked;
  l->OnMRUItemClick = [&](TObject*, const std::string& name) { clicked.push_back(name); };
  l->PopupItems()[1]->Click();
  EXPECT_EQ(clicked, std::vector<std::string>{"C:\\a"});
  EXPECT_EQ(l->Entries().Count(), 2);
  // With RemoveOnClick the entry goes (the clicked item leaves the menu at once).
  l->SetRemoveOnClick(true);
  l->PopupItems()[0]->Click();
  EXPECT_EQ(clicked.back(), "C:\\b");
  EXPECT_EQ(l->Entries().Items(), std::vector<std::string>{"C:\\a"});
  EXPECT_EQ(l->PopupItems().size(), 1u);
  PumpFor(50);  // the clicked item is freed from the message loop
}

TEST_F(MRUTest, SavedAsNumberedValuesAndLoadedInNumberOrder) {
  const std::string key = std::string(kBase) + "\\MRU Items";
  {
    TLkMRUFileList* l = NewList();
    Put(key, "F7", "stale");  // gone once the list is saved
    for (const char* f : {"C:\\x", "C:\\y", "C:\\z"}) l->AddEntry(f);
    EXPECT_TRUE(l->Save());
    Free(l);
  }
  EXPECT_EQ(Values(key), (std::vector<std::pair<std::string, std::string>>{
                             {"F0", "C:\\z"}, {"F1", "C:\\y"}, {"F2", "C:\\x"}}));
  // Twelve stored values: the registry lists F10 before F2; the list takes
  // them in number order and keeps the Maximum.
  RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
  for (int i = 0; i < 12; ++i) Put(key, "F" + std::to_string(i), "C:\\dir" + std::to_string(i));
  TLkMRUFileList* l = NewList();
  EXPECT_EQ(l->Entries().Items(),
            (std::vector<std::string>{"C:\\dir0", "C:\\dir1", "C:\\dir2", "C:\\dir3", "C:\\dir4"}));
  EXPECT_EQ(popup->Items()->Items(0)->Caption(), "&1 C:\\dir0");
  // Values named otherwise still load.
  RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
  Put(key, "first", "C:\\p");
  Put(key, "second", "C:\\q");
  EXPECT_TRUE(l->Load());
  EXPECT_EQ(l->Entries().Count(), 2);
}

TEST_F(MRUTest, FreedListSavesAndAFreedMenuIsForgotten) {
  const std::string key = std::string(kBase) + "\\MRU Items";
  TLkMRUFileList* l = NewList();
  l->AddEntry("C:\\kept");
  Free(popup);
  popup = nullptr;
  EXPECT_EQ(l->PopupMenu(), nullptr);
  l->AddEntry("C:\\newer");  // no menu to touch
  Free(l);
  EXPECT_EQ(Values(key), (std::vector<std::pair<std::string, std::string>>{{"F0", "C:\\newer"}, {"F1", "C:\\kept"}}));
}

TEST_F(MRUTest, FileMenuWithSubmenuAndCommands) {
  auto* fileMenu = new TMenuItem(form);
  fileMenu->SetCaption("&File");
  auto* open = new TMenuItem(form);
  open->SetCaption("&Open");
  fileMenu->Add(open);
  TLkMRUFileList* l = NewList();
  l->SetPopupMenu(nullptr);
  l->SetFileMenu(fileMenu);
  l->AddEntry("C:\\docs\\a.txt");
  l->AddEntry("C:\\docs\\b.txt");
  EXPECT_EQ(Captions(fileMenu), (std::vector<std::string>{"&Open", "-", "Reopen"}));
  EXPECT_EQ(Captions(fileMenu->Items(2)), (std::vector<std::string>{"&1 C:\\docs\\b.txt", "&2 C:\\docs\\a.txt", "-",
                                                        "&Clear MRU List", "&Remove Obsolete"}));
  l->SetMRUDisplay(TMRUDisplay::mdFileNameOnly);  // reloads from the (empty) storage
  l->AddEntry("C:\\docs\\c.txt");
  EXPECT_EQ(fileMenu->Items(2)->Items(0)->Caption(), "c");
  // Remove Obsolete drops names that are no files (folders count as missing).
  const std::string dir = "C:\\lkdesk-mru";
  CreateDirectoryA(dir.c_str(), nullptr);
  l->AddEntry(dir);
  int destroyed = 0;
  l->OnDestroyMRUItem = [&](TObject*, TMenuItem*) { ++destroyed; };
  fileMenu->Items(2)->Items(fileMenu->Items(2)->Count() - 1)->Click();
  EXPECT_EQ(l->Entries().Count(), 0);
  EXPECT_GT(destroyed, 0);
  EXPECT_EQ(Captions(fileMenu), std::vector<std::string>{"&Open"});
  PumpFor(50);  // the clicked command item is freed from the message loop
}

TEST_F(MRUTest, IniStorage) {
  ScratchFolder scratch("mru-ini");
  const std::string ini = scratch / "recent.ini";
  auto* l = new TLkMRUFileList(form);
  l->SetAutoSave(false);
  l->SetUseRegistry(false);
  l->SetAutoSaveName(ini);
  l->AddEntry("C:\\i1");
  l->AddEntry("C:\\i2");
  EXPECT_TRUE(l->Save());
  char buf[256];
  GetPrivateProfileStringA("MRU Items", "F0", "", buf, sizeof buf, ini.c_str());
  EXPECT_STREQ(buf, "C:\\i2");
  l->ClearItems();
  EXPECT_TRUE(l->Load());
  EXPECT_EQ(l->Entries().Items(), (std::vector<std::string>{"C:\\i2", "C:\\i1"}));
}

}  // namespace
