#include "console/win/usersettingspage.h"

#include "base/streams.h"
#include "console/core/pictureindex.h"
#include "console/core/userdata.h"
#include "console/core/usersettings.h"
#include "console/win/lkmainform.h"
#include "forms/win/application.h"
#include "shared/core/errors.h"
#include "shared/win/installpaths.h"

namespace {
const TConsolePageFace kUserSettingsFace{"PasswordPanel", "User Settings", "PanelSettings", "ToolBar3", 6,
                                         "User settings"};

constexpr const char* kStatusSaved = " User settings saved.";
constexpr const char* kStatusRowUpdated = " Selected item data updated.";
constexpr const char* kStatusNotRead =
    " The user data could not be read, so it was not saved: saving would erase every user's settings.";
constexpr const char* kStatusNoFF = " A message cannot hold the character \xFF (byte 255); it was taken out.";

TMenuItem* NewItem(TComponent* owner, TMenuItem* parent, const std::string& name, const std::string& caption,
                   TShortCut shortcut = 0) {
  auto* item = new TMenuItem(owner);
  item->SetName(name);
  item->SetCaption(caption);
  if (shortcut) item->SetShortCut(shortcut);
  parent->Add(item);
  return item;
}

TLabel* NewLabel(TComponent* owner, TWinControl* parent, const std::string& caption, int left, int top) {
  auto* label = new TLabel(owner);
  label->SetParent(parent);
  label->SetCaption(caption);
  label->SetBounds(left, top, 240, 13);
  return label;
}

// Sets a flag for the life of a scope, and clears it however the scope ends.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag_;
};
}  // namespace

TUserSettingsPage::TUserSettingsPage(TLKMain* form) : TConsolePage(form, kUserSettingsFace) {
  PasswordPanel = Panel;
  PanelSettings = ToolPanel;
  BuildPage();
}

void TUserSettingsPage::BuildPage() {
  EncryptStream = new TLkStreams(this);
  EncryptStream->SetCompressed(true);
  EncryptStream->SetEncrypted(true);
  EncryptStream->SetKey(kDataFileKey);

  UserPassLista = new TLkListView(this);
  UserPassLista->SetName("UserPassLista");
  UserPassLista->SetParent(PasswordPanel);
  UserPassLista->SetBounds(8, 28, 497, 170);
  UserPassLista->SetViewStyle(TViewStyle::vsReport);
  UserPassLista->SetMultiSelect(false);
  UserPassLista->SetRowSelect(true);
  UserPassLista->SetReadOnly(true);
  UserPassLista->SetGridLines(true);
  UserPassLista->SetHideSelection(false);
  UserPassLista->SetHotTrackStyles(htUnderlineHot);
  UserPassLista->AddColumn("Username", 130);
  UserPassLista->AddColumn("Password", 120);
  UserPassLista->AddColumn("Text", 220);
  UserPassLista->SetOwnerData(true);
  UserPassLista->OnOwnerData = TLVOwnerDataEvent(this, &TUserSettingsPage::UserPassListaData);
  UserPassLista->OnClick = TNotifyEvent(this, &TUserSettingsPage::UserPassListaClick);
  UserPassLista->OnSelectItem = TLVSelectItemEvent(this, &TUserSettingsPage::UserPassListaSelectItem);

  NewLabel(this, PasswordPanel, "User password:", 8, 206);
  EditGlobal = new TEdit(this);
  EditGlobal->SetName("EditGlobal");
  EditGlobal->SetParent(PasswordPanel);
  EditGlobal->SetBounds(8, 222, 240, 19);
  EditGlobal->SetBorderStyle(TEditBorderStyle::bsNone);
  EditGlobal->OnChange = TNotifyEvent(this, &TUserSettingsPage::EditGlobalChange);
  // The password editor offers no menu of its own.
  EditGlobal->OnContextPopup = TContextPopupEvent(this, &TUserSettingsPage::EditGlobalContextPopup);

  NewLabel(this, PasswordPanel, "Text Message (right-click for options):", 8, 250);
  MemoGlobal = new TMemo(this);
  MemoGlobal->SetName("MemoGlobal");
  MemoGlobal->SetParent(PasswordPanel);
  MemoGlobal->SetBounds(8, 266, 240, 136);
  MemoGlobal->SetScrollBars(TScrollStyle::ssVertical);
  MemoGlobal->OnChange = TNotifyEvent(this, &TUserSettingsPage::MemoGlobalChange);

  NewLabel(this, PasswordPanel, "Flags:", 260, 206);
  TreeFlags = new TLkCheckTree(this);
  TreeFlags->SetName("TreeFlags");
  TreeFlags->SetParent(PasswordPanel);
  TreeFlags->SetBounds(260, 222, 245, 180);
  TreeFlags->SetCascadeChecks(false);
  TreeFlags->SetFrameVisible(true);
  TreeFlags->SetFrameFlatStyle(TFrameStyle::fsFlat);
  TreeFlags->SetFrameFocusStyle(TFrameStyle::fsFlat);
  TreeFlags->SetIndent(19);
  TreeFlags->SelectionPen()->SetColor(clBtnShadow);
  {
    TFlagScope filling(UpdatingFlags);
    TTreeNode* head = nullptr;
    for (const TFlagNode& n : kFlagNodes) {
      if (n.Parent < 0) {
        head = TreeFlags->Items()->Add(nullptr, n.Text);
        head->SetStateIndex(kFlagNoBox);
      } else {
        TreeFlags->Items()->AddChild(head, n.Text)->SetStateIndex(kFlagUnchecked);
      }
    }
  }
  TreeFlags->FullExpand();
  TreeFlags->OnStateChange = TLkCheckTreeChangeEvent(this, &TUserSettingsPage::TreeFlagsStateChange);

  ToolButton7 = NewButton("ToolButton7", "Update user settings (Ctrl - S)", mnSaveUsers);
  ToolButton7->OnClick = TNotifyEvent(this, &TUserSettingsPage::UpdateUserList);

  // The message editor's popup: the tags, then the standard edit actions.
  ActionList1 = new TActionList(this);
  ActionList1->SetName("ActionList1");
  EditCopy1 = new TEditCopy(this);
  EditPaste1 = new TEditPaste(this);
  EditUndo1 = new TEditUndo(this);
  EditSelectAll1 = new TEditSelectAll(this);
  for (TCustomAction* a : std::initializer_list<TCustomAction*>{EditCopy1, EditPaste1, EditUndo1, EditSelectAll1})
    a->SetActionList(ActionList1);

  PopupMenu3 = new TPopupMenu(this);
  PopupMenu3->SetName("PopupMenu3");
  TMenuItem* root = PopupMenu3->Items();
  LocalTags1 = NewItem(this, root, "LocalTags1", "Local Tags");
  UserName1 = NewItem(this, LocalTags1, "UserName1", "Username", 'N' | scCtrl);
  Time1 = NewItem(this, LocalTags1, "Time1", "Time", 'T' | scCtrl);
  Data1 = NewItem(this, LocalTags1, "Data1", "Date", 'D' | scCtrl);
  Bold1 = NewItem(this, root, "Bold1", "Bold", 'B' | scCtrl);
  Italic1 = NewItem(this, root, "Italic1", "Italic", 'I' | scCtrl);
  Underlined1 = NewItem(this, root, "Underlined1", "Underlined", 'U' | scCtrl);
  NewItem(this, root, "N1", "-");
  RemoveTags1 = NewItem(this, root, "RemoveTags1", "Remove Tags");
  NewItem(this, root, "N2", "-");
  for (TCustomAction* a : std::initializer_list<TCustomAction*>{EditCopy1, EditPaste1, EditUndo1, EditSelectAll1}) {
    auto* item = new TMenuItem(this);
    item->SetAction(a);
    root->Add(item);
  }
  UserName1->OnClick = TNotifyEvent(this, &TUserSettingsPage::UserName1Click);
  Time1->OnClick = TNotifyEvent(this, &TUserSettingsPage::Time1Click);
  Data1->OnClick = TNotifyEvent(this, &TUserSettingsPage::Data1Click);
  Bold1->OnClick = TNotifyEvent(this, &TUserSettingsPage::Bold1Click);
  Italic1->OnClick = TNotifyEvent(this, &TUserSettingsPage::Italic1Click);
  Underlined1->OnClick = TNotifyEvent(this, &TUserSettingsPage::Underlined1Click);
  RemoveTags1->OnClick = TNotifyEvent(this, &TUserSettingsPage::RemoveTags1Click);
  MemoGlobal->SetPopupMenu(PopupMenu3);
  EnableEditors();  // no row yet
}

void TUserSettingsPage::StartUp() {
  if (!RunningOnNT()) DeleteLockWorkstationOption();
  if (State().UserNames.Count() != 0) LoadUserData();
}

void TUserSettingsPage::DeleteLockWorkstationOption() {
  TTreeNodes* nodes = TreeFlags->Items();
  if (kLockWorkstationCode < nodes->Count()) nodes->Item(kLockWorkstationCode)->Delete();
}

void TUserSettingsPage::LoadUserData() {
  std::vector<std::string> names;
  for (int i = 0; i < State().UserNames.Count(); ++i) names.push_back(State().UserNames[i]);
  rows_.clear();
  const char* failure = nullptr;
  try {
    rows_ = LoadUserRows(*EncryptStream, UserDataPath(), names);
  } catch (const ECorruptFile&) {
    failure = "Corrupted data!";
  } catch (const EStreamError&) {
    failure = "Error reading data!";
  }
  if (failure) {
    editors_.ReadFailed();
    EnableEditors();
    UserPassLista->SetOwnerDataCount(0);
    Application->MessageBox(failure, Application->Title(), MB_OK);
    return;
  }
  UserPassLista->SetOwnerDataCount(static_cast<int>(rows_.size()));
  // The editors show a row from the start: what is typed always has a row
  // to go to.
  const int first = editors_.RowsRead(static_cast<int>(rows_.size()));
  if (first >= 0) {
    LoadRow(first);
    UserPassLista->SetItemIndex(first);
  }
  EnableEditors();
}

void TUserSettingsPage::UserPassListaData(TObject*, int index, int column, std::string& text) {
  if (index < 0 || index >= static_cast<int>(rows_.size())) return;
  const TUserRow& row = rows_[index];
  switch (column) {
    case 0: text = row.Name; break;
    case 1: text = row.Record.Password; break;
    case 2: text = row.Record.StoredMessage; break;
    case 3: text = row.Record.OptionText; break;
    default: break;
  }
}

void TUserSettingsPage::SaveUserData() { SaveUserRows(*EncryptStream, UserDataPath(), rows_); }

void TUserSettingsPage::SaveUserList() {
  SaveUserData();
  editors_.Saved();
  State().UserSettingsChanged = editors_.Unsaved();
  SetStatusText(kStatusSaved);
}

void TUserSettingsPage::UserPassListaClick(TObject*) { ChooseRow(UserPassLista->ItemIndex()); }

// Arrow keys select without a click: the new row is shown all the same, and
// what was typed for the row before stays with that row.
void TUserSettingsPage::UserPassListaSelectItem(TObject*, TListItem*, bool selected) {
  if (selected) ChooseRow(UserPassLista->ItemIndex());
}

void TUserSettingsPage::ChooseRow(int row) {
  const TRowMove move = editors_.Choose(row);
  if (move.Store >= 0) StoreEditorsInRow(move.Store);
  if (move.Load >= 0) LoadRow(move.Load);
}

void TUserSettingsPage::LoadRow(int index) {
  if (index < 0 || index >= static_cast<int>(rows_.size())) return;
  const TUserRow& row = rows_[index];
  editors_.BeginLoad(index);
  try {
    EditGlobal->SetText(row.Record.Password);
    MemoGlobal->SetText(MessageFromStored(row.Record.StoredMessage));
    TFlagScope filling(UpdatingFlags);
    // Codes this tree has no box for are left out; the heads never get one.
    const TFlagStates states = FlagStatesFromOptions(row.Record.OptionText, FlagNodeCount());
    for (int i = 0; i < static_cast<int>(states.States.size()); ++i)
      TreeFlags->SetItemState(i, static_cast<TLkCheckState>(states.States[i]));
  } catch (...) {
    editors_.EndLoad();
    throw;
  }
  editors_.EndLoad();
  TreeFlags->FullExpand();
  // Edits kept in other rows are still unsaved.
  State().UserSettingsChanged = editors_.Unsaved();
  PasswordPanel->SetCaption("User Settings: " + row.Name);
}

void TUserSettingsPage::StoreEditorsInRow(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  TUserRecord& record = rows_[row].Record;
  record.Password = EditGlobal->Text();
  record.StoredMessage = MessageToStored(MemoGlobal->Text());
  record.OptionText = OptionTextOfTree();
  editors_.StoredHeld();
  UserPassLista->SetOwnerDataCount(static_cast<int>(rows_.size()));  // shows the row anew
}

std::string TUserSettingsPage::OptionTextOfTree() const {
  std::vector<uint8_t> states;
  for (int i = 0; i < TreeFlags->Items()->Count(); ++i) states.push_back(TreeFlags->GetItemState(i));
  return OptionsFromFlagStates(states);
}

int TUserSettingsPage::FlagNodeCount() const { return TreeFlags->Items()->Count(); }

void TUserSettingsPage::EnableEditors() {
  const bool on = editors_.TakesText();
  EditGlobal->SetEnabled(on);
  MemoGlobal->SetEnabled(on);
  TreeFlags->SetEnabled(on);
}

void TUserSettingsPage::UpdateUserList(TObject*) {
  THourglass hourglass;
  switch (editors_.Save()) {
    case TEditorsSave::esRefuse:
      SetStatusText(kStatusNotRead);
      return;
    case TEditorsSave::esStoreHeldThenWrite:
      StoreEditorsInRow(editors_.HeldRow());
      SetStatusText(kStatusRowUpdated);
      break;
    case TEditorsSave::esWriteRows:
      break;
  }
  SaveUserList();
}

void TUserSettingsPage::TreeFlagsStateChange(TObject*, TTreeNode* node, TLkCheckState) {
  if (UpdatingFlags || !node) return;
  {
    TFlagScope rule(UpdatingFlags);
    for (int sibling : FlagGroupSiblings(node->AbsoluteIndex(), TreeFlags->Items()->Count()))
      TreeFlags->SetNodeState(TreeFlags->Items()->Item(sibling), static_cast<TLkCheckState>(kFlagUnchecked));
  }
  EditorChanged();
}

void TUserSettingsPage::EditorChanged() {
  if (editors_.EditorChanged()) State().UserSettingsChanged = true;
}

void TUserSettingsPage::EditGlobalChange(TObject*) { EditorChanged(); }

void TUserSettingsPage::MemoGlobalChange(TObject*) {
  if (editors_.TakesText() && HoldsStoredLineBreak(MemoGlobal->Text())) {
    // The byte stands for a line break in the file: it could never come back
    // as itself.
    std::string text = MemoGlobal->Text();
    std::erase(text, kStoredLineBreak);
    MemoGlobal->SetText(text);
    SetStatusText(kStatusNoFF);
    return;  // the new text comes back through here
  }
  EditorChanged();
}

void TUserSettingsPage::EditGlobalContextPopup(TObject*, TPoint, bool& handled) { handled = true; }

void TUserSettingsPage::ReplaceMemoSelection(const std::string& text) { MemoGlobal->SetSelText(text); }

void TUserSettingsPage::UserName1Click(TObject*) { ReplaceMemoSelection(TagReplacement(TTagCommand::tcUsername, "")); }
void TUserSettingsPage::Time1Click(TObject*) { ReplaceMemoSelection(TagReplacement(TTagCommand::tcTime, "")); }
void TUserSettingsPage::Data1Click(TObject*) { ReplaceMemoSelection(TagReplacement(TTagCommand::tcDate, "")); }
void TUserSettingsPage::Bold1Click(TObject*) {
  ReplaceMemoSelection(TagReplacement(TTagCommand::tcBold, MemoGlobal->SelText()));
}
void TUserSettingsPage::Italic1Click(TObject*) {
  ReplaceMemoSelection(TagReplacement(TTagCommand::tcItalic, MemoGlobal->SelText()));
}
void TUserSettingsPage::Underlined1Click(TObject*) {
  ReplaceMemoSelection(TagReplacement(TTagCommand::tcUnderlined, MemoGlobal->SelText()));
}
void TUserSettingsPage::RemoveTags1Click(TObject*) { MemoGlobal->SetText(RemoveMessageTags(MemoGlobal->Text())); }
