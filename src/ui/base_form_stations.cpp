// The browser on a catalogue that other stations (programs on other
// computers, or a second one on this) change at the same time.

#include <QApplication>

#include <algorithm>

#include "ui/base_form.h"
#include "ui/catalogue_model.h"

namespace kandelo {

void TfBaseForm::RefreshFromOtherStations(bool known) {
  // Not under a dialog, which may be working on the current record.
  if (busy_ || QApplication::activeModalWidget()) return;
  if (!known && !backend_.CatalogueChangedElsewhere()) return;
  const int row = ActiveRow();
  const std::int32_t recNo = CurrentRecNo();
  ReloadTable();
  const int again = recNo > 0 ? model_->RowOfRecord(recNo) : 0;
  if (model_->Count() > 0) ActivateRow(again > 0 ? again : std::min(row, model_->Count()));
}

}  // namespace kandelo
