// The User Settings page: each user's password, message and options, kept
// in the user-data file. The editors show one row at a time (the row they
// hold); edits go into that row only, and Ctrl+S saves every row.
#pragma once

#include "console/win/consolepage.h"
#include "controls/win/checktree.h"
#include "controls/win/framedlistview.h"
#include "forms/win/actions.h"
#include "forms/win/menus.h"
#include "forms/win/stdctrls.h"
#include "console/core/userdata.h"
#include "console/core/usereditors.h"
#include "shared/core/streamcol.h"

class TUserSettingsPage : public TConsolePage {
 public:
  explicit TUserSettingsPage(TLKMain* form);

  TLkCaptionPanel* PasswordPanel;
  TPanel* PanelSettings;
  TLkListView* UserPassLista;
  TEdit* EditGlobal;
  TMemo* MemoGlobal;
  TLkCheckTree* TreeFlags;
  TToolButton* ToolButton7;
  TPopupMenu* PopupMenu3;
  TMenuItem* LocalTags1;
  TMenuItem* UserName1;
  TMenuItem* Time1;
  TMenuItem* Data1;
  TMenuItem* Bold1;
  TMenuItem* Italic1;
  TMenuItem* Underlined1;
  TMenuItem* RemoveTags1;
  TActionList* ActionList1;
  TEditCopy* EditCopy1;
  TEditPaste* EditPaste1;
  TEditUndo* EditUndo1;
  TEditSelectAll* EditSelectAll1;
  TLkStreams* EncryptStream;
  // Set while the tree is filled or its group rule runs.
  bool UpdatingFlags = false;

  // The page's face.
  void StartUp() override;
  void SaveKey() override { UpdateUserList(); }
  bool HasUnsavedChanges() const override { return State().UserSettingsChanged; }

  void DeleteLockWorkstationOption();  // off the NT line
  void LoadUserData();
  void SaveUserData();
  void SaveUserList();

  // Handlers.
  void UserPassListaClick(TObject* sender);
  void UserPassListaSelectItem(TObject* sender, TListItem* item, bool selected);
  void UpdateUserList(TObject* sender = nullptr);
  void TreeFlagsStateChange(TObject* sender, TTreeNode* node, TLkCheckState newState);
  void EditGlobalChange(TObject* sender);
  void MemoGlobalChange(TObject* sender);
  void EditGlobalContextPopup(TObject* sender, TPoint mousePos, bool& handled);
  void UserName1Click(TObject* sender);
  void Time1Click(TObject* sender);
  void Data1Click(TObject* sender);
  void Bold1Click(TObject* sender);
  void Italic1Click(TObject* sender);
  void Underlined1Click(TObject* sender);
  void RemoveTags1Click(TObject* sender);

  // The rows as the list shows them, and the one the editors show (the
  // first once the rows are read; -1 without rows).
  const std::vector<TUserRow>& Rows() const { return rows_; }
  int HeldRow() const { return editors_.HeldRow(); }
  // The nodes of the flags tree as this system has it ("Lock Workstation"
  // is gone off the NT line).
  int FlagNodeCount() const;

 private:
  void BuildPage();
  // A row chosen in the list: the editors go into their row, the chosen
  // row comes into them.
  void ChooseRow(int row);
  void LoadRow(int row);
  void UserPassListaData(TObject* sender, int index, int column, std::string& text);
  void StoreEditorsInRow(int row);
  std::string OptionTextOfTree() const;
  void EditorChanged();
  // The editors take text only while they show a row.
  void EnableEditors();
  void ReplaceMemoSelection(const std::string& text);

  // The list is virtual: it asks for each shown cell, so thousands of
  // users fill it at once.
  std::vector<TUserRow> rows_;
  TUserEditors editors_;
};
