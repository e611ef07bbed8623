// The browser's "new luminaire": the wizard writes an empty file into the
// first luminaire directory; the browser catalogues it and opens it in the
// record editor.
#include "shell/msgbox.h"
#include "frame/settings.h"
#include "ui/base_form.h"
#include "ui/new_lum_wizard.h"

namespace kandelo {

void TfBaseForm::NewLuminaireClicked() {
  StopTimer();
  const std::string created = RunNewLuminaireWizard(this, translation_);
  if (created.empty()) {
    RestartTimer();
    return;
  }
  const std::int32_t recNo = backend_.CatalogueFileInPlace(created);
  ClearLuminaire();
  if (recNo > 0) {
    ReloadTable();
    ShowRecord(recNo);
    // The values of the empty table are entered in the record editor.
    EditEntry(1);
    return;
  } else {
    ShowErrorL(MsgOr("CONVERSION", "CV_NOTADDED", "The file was written but could not be added to the catalogue:") +
                   " " + created,
               Settings().MsgTxtFile);
  }
  RestartTimer();
}

}  // namespace kandelo
