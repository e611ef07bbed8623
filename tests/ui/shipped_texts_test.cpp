// The shipped "ORVTXT" files hold a text for every key the windows export.
#include <QTest>

#include "fake_backend.h"
#include "frame/inifile.h"
#include "frame/settings.h"
#include "platform/resources.h"
#include "support/test_support.h"
#include "texts/dialog_tool.h"
#include "texts/select_languages.h"
#include "texts/trans_dialog.h"
#include "ui/base_form.h"
#include "ui/convert_dlg.h"
#include "ui_tests.h"

namespace kandelo::test {

class ShippedTextsTest : public QObject {
  Q_OBJECT
 private slots:
  void everyExportedKeyIsTranslated() {
    TempUserEnvironment env;
    LoadSettings();
    const std::string exported = env.root() + "/EXPORT.TXT";
    FakeBackend backend;
    TfBaseForm browser(backend);
    TLangDlg lang(1, 1, true);
    TTransDlg trans(nullptr, {}, {});
    ExportForm(exported, &browser);
    ExportMenu(exported, &browser);
    ExportForm(exported, &lang);
    ExportForm(exported, &trans);
    TConvertDlg convert(ConversionSettings{}, true);
    ExportForm(exported, &convert);
    const TBigInifile windows(exported);
    QVERIFY(windows.Count() >= 4);

    for (const char* ext : {"GER", "ENG", "FRA"}) {
      const auto data = platform::EmbeddedFile(std::string("language/ORVTXT.") + ext);
      QVERIFY2(data.has_value(), ext);
      TBigInifile shipped("");
      shipped.SetTextStr(*data);
      for (int s = 0; s < windows.Count(); ++s) {
        const tsection& sec = windows.GetSection(s);
        for (int k = 0; k < sec.Count(); ++k) {
          const std::string v = shipped.ReadString(sec.Name(), sec.GetKey(k), "\x01");
          QVERIFY2(v != "\x01" && !v.empty(), (std::string(ext) + ": " + sec.Name() + "/" + sec.GetKey(k)).c_str());
        }
      }
    }
  }
};

KANDELO_UI_TEST(ShippedTextsTest);

}  // namespace kandelo::test

#include "shipped_texts_test.moc"
