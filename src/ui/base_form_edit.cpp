// The browser's record editing: new entry, edit and copy through the record
// editor; the edited record is stored through the backend's catalogue.
#include "shell/msgbox.h"
#include "frame/settings.h"
#include "ui/base_form.h"
#include "ui/record_editor.h"

namespace kandelo {

void TfBaseForm::EditEntry(int mode) {
  StopTimer();
  const EditMode m = mode == 0 ? EditMode::New : mode == 1 ? EditMode::Edit : EditMode::Copy;
  TCatalogueRecord rec;
  std::int32_t recNo = 0;
  if (m != EditMode::New) {
    recNo = CurrentRecNo();
    if (recNo <= 0 || !backend_.ReadCatalogueRecord(recNo, rec)) {
      RestartTimer();
      return;
    }
  }
  // The editor writes the file; the luminaire shown here is read again after.
  ClearLuminaire();
  if (EditCatalogueRecord(rec, m, backend_, translation_, this)) {
    const std::int32_t stored = backend_.StoreCatalogueRecord(m == EditMode::Edit ? recNo : 0, rec);
    if (stored <= 0) {
      ShowErrorL(Msg("DEFAULT MESSAGES", "DM_DBERROR"), Settings().MsgTxtFile);
    } else {
      recNo = stored;
    }
  }
  ReloadTable();
  if (recNo > 0) ShowRecord(recNo);
  LoadCurrentLuminaire(true);
  RestartTimer();
}

}  // namespace kandelo
