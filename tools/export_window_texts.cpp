// Writes the built-in texts of every window into DIR/ORVTXT.GER, the way a
// first start does, for tools/make_window_texts.py to translate:
//   kandelo-window-texts DIR
#include <QApplication>
#include <cstdio>

#include "frame/settings.h"
#include "frame/strutil.h"
#include "platform/fileio.h"
#include "texts/dialog_tool.h"
#include "texts/msg_trans_dialog.h"
#include "texts/select_languages.h"
#include "texts/trans_dialog.h"
#include "ui/base_form.h"
#include "ui/convert_dlg.h"
#include "ui/new_lum_wizard.h"
#include "ui/record_editor.h"
#include "ui/linfo_form.h"
#include "photometry/lum32.h"
#include "ui/lamp_windows.h"
#include "ui/list_dlg.h"
#include "ui/orvset_form.h"
#include "ui/small_editors.h"
#include "ui/text_viewer.h"
#include "ui/output_edit.h"

namespace {

using namespace kandelo;

// No catalogue: the windows are only created to export their texts.
class NoCatalogue : public BrowserBackend {
 public:
  bool CatalogueOpen() const override { return false; }
  std::int32_t RecordCount() override { return 0; }
  int SelectKey(int) override { return 9904; }
  int ResetKey() override { return 9904; }
  int NextKey(std::string&, std::int32_t&) override { return 9904; }
  int PrevKey(std::string&, std::int32_t&) override { return 9904; }
  bool ReadRecord(std::int32_t, CatalogueRow&) override { return false; }
  bool DeleteRecord(std::int32_t) override { return false; }
  void DeleteWholeCatalogue() override {}
  void RebuildCatalogue() override {}
  void WriteVersionLabel(const std::string&) override {}
  std::string GetPath(std::int32_t) override { return {}; }
  void EnsurePathListed(const std::string&) override {}
  IntakeReport AddAllBelowRoot() override { return {}; }
  std::optional<IntakeReport> AddFilesByDialog() override { return std::nullopt; }
  void SavePathList() override {}
  bool LoadLuminaire(const std::string&) override { return false; }
  void ClearLuminaire() override {}
  std::string LuminairePath() const override { return {}; }
  void DrawDiagram(TDevice&, const TRect&, const std::string&) override {}
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kandelo-window-texts DIR\n");
    return 2;
  }
  QApplication app(argc, argv);
  TProgramSettings& s = Settings();
  s.LangDir = argv[1];
  s.DbLangExt = ".GER";
  const std::string out = AddBackslash(s.LangDir) + "ORVTXT.GER";
  platform::fs().removeFile(out);
  // The browser exports its texts (window and menu) when the file does not
  // exist yet; the dialogs then find it and are exported explicitly.
  NoCatalogue backend;
  TfBaseForm browser(backend);
  TLangDlg lang(1, 1, true);
  ExportForm(out, &lang);
  TTransDlg trans(nullptr, {}, {});
  ExportForm(out, &trans);
  TMsgTransDlg messages({}, {});
  ExportForm(out, &messages);
  // Created after the file exists, the dialog would only read it.
  TConvertDlg convert(ConversionSettings{}, true);
  ExportForm(out, &convert);
  TNLWIZ wizard(true);
  ExportForm(out, &wizard);
  Tdbedform editor(TCatalogueRecord{}, EditMode::New, backend, true);
  ExportForm(out, &editor);
  TLinfoForm linfo(TCatalogueRecord{}, TLUM32{}, true);
  linfo.setWindowTitle(linfo.BaseCaption());
  ExportForm(out, &linfo);
  // The list printout, the lamp table windows, the small editors and the
  // settings dialog.
  TListDlg list(true);
  ExportForm(out, &list);
  TLampselForm lamps;
  ExportForm(out, &lamps);
  TLmpEdform lampEditor(TLampRecord{}, true, false);
  ExportForm(out, &lampEditor);
  TVersionDlg version("");
  ExportForm(out, &version);
  TLUM32 lum;
  TMeasInfoDlg meas(lum);
  ExportForm(out, &meas);
  TTextViewer viewer("");
  ExportForm(out, &viewer);
  ExportMenu(out, &viewer);
  TOrvsetForm setup(s, true);
  ExportForm(out, &setup);
  TOutEditDlg outputs(InitialOutputSettings(), std::nullopt, true);
  ExportForm(out, &outputs);
  return 0;
}
