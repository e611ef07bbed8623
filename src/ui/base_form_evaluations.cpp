// The browser's "Evaluations" action: the evaluation window for the current
// record and luminaire.
#include "database/catalogue_record.h"
#include "ui/base_form.h"
#include "ui/linfo_form.h"

namespace kandelo {

void TfBaseForm::OpenEvaluations() {
  const TLUM32* lum = backend_.Luminaire();
  if (!loaded_ || !lum) return;
  // The window gets copies: nothing it computes reaches the browser's objects.
  TCatalogueRecord rec;
  const std::int32_t recNo = CurrentRecNo();
  if (recNo <= 0 || !backend_.ReadCatalogueRecord(recNo, rec)) rec.Clear();
  ShowEvaluationWindow(rec, *lum, translation_, this);
}

}  // namespace kandelo
