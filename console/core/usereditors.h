// The User Settings page's editors (password, message, flags) and the rows
// they are kept in. The editors always show one row, the held row: the
// first one as soon as the rows are read, then the one last chosen. What is
// typed belongs to that row; it goes into the row when another row is
// chosen or at a save, and the save writes every row.
//
// Without rows (the file could not be read, or there is no user entry) the
// editors hold nothing and take no text, and nothing is ever saved: a save
// would replace every user's record with no record at all.
#pragma once

// What choosing a row in the list does: the editors go into `Store` first
// (-1: they hold nothing typed since the row was shown), then `Load` comes
// into the editors (-1: nothing to show, the row is held already).
struct TRowMove {
  int Store = -1;
  int Load = -1;
};

enum class TEditorsSave {
  esRefuse,              // the rows were never read: the file stays as it is
  esWriteRows,           // no row held: the rows as they are
  esStoreHeldThenWrite,  // the editors into the held row, then every row
};

class TUserEditors {
 public:
  // The rows were read (`count` of them): the row to show first, -1 without rows.
  int RowsRead(int count);
  // The file could not be read: no rows, and never a save.
  void ReadFailed();

  int HeldRow() const { return held_; }
  // The editors take text only while they show a row.
  bool TakesText() const { return held_ >= 0 && !loading_; }

  // The list's row `row` was chosen (a click or an arrow key).
  TRowMove Choose(int row) const;
  // A row comes into the editors between these; their change events while
  // it does are no edits. EndLoad makes the row the held one.
  void BeginLoad(int row);
  void EndLoad();
  // The editors went into the held row.
  void StoredHeld();

  // An editor's text or a flag changed: true when it is an edit of the
  // held row (not while a row loads, not without a held row).
  bool EditorChanged();

  TEditorsSave Save() const;
  // The file now holds every row as shown.
  void Saved();
  // Something typed is not in the file yet: in the editors, or in a row
  // that was left for another.
  bool Unsaved() const { return editors_changed_ || rows_changed_; }

 private:
  enum class TRead { rdNotYet, rdDone, rdFailed };
  TRead read_ = TRead::rdNotYet;
  int count_ = 0;
  int held_ = -1;
  int loading_row_ = -1;
  bool loading_ = false;
  bool editors_changed_ = false;  // the editors differ from the held row
  bool rows_changed_ = false;     // rows differ from the file
};
