#include "console/core/usereditors.h"

int TUserEditors::RowsRead(int count) {
  read_ = TRead::rdDone;
  count_ = count > 0 ? count : 0;
  held_ = -1;
  loading_ = false;
  editors_changed_ = rows_changed_ = false;
  return count_ > 0 ? 0 : -1;
}

void TUserEditors::ReadFailed() {
  read_ = TRead::rdFailed;
  count_ = 0;
  held_ = -1;
  loading_ = false;
  editors_changed_ = rows_changed_ = false;
}

TRowMove TUserEditors::Choose(int row) const {
  if (loading_ || row < 0 || row >= count_ || row == held_) return {};
  return {editors_changed_ ? held_ : -1, row};
}

void TUserEditors::BeginLoad(int row) {
  loading_ = true;
  loading_row_ = row;
}

void TUserEditors::EndLoad() {
  if (!loading_) return;
  loading_ = false;
  if (loading_row_ >= 0 && loading_row_ < count_) {
    held_ = loading_row_;
    editors_changed_ = false;
  }
  loading_row_ = -1;
}

void TUserEditors::StoredHeld() {
  if (held_ < 0) return;
  editors_changed_ = false;
  rows_changed_ = true;
}

bool TUserEditors::EditorChanged() {
  if (!TakesText()) return false;
  editors_changed_ = true;
  return true;
}

TEditorsSave TUserEditors::Save() const {
  if (read_ != TRead::rdDone) return TEditorsSave::esRefuse;
  return held_ >= 0 ? TEditorsSave::esStoreHeldThenWrite : TEditorsSave::esWriteRows;
}

void TUserEditors::Saved() {
  if (read_ != TRead::rdDone) return;
  editors_changed_ = rows_changed_ = false;
}
