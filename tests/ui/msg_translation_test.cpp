// The message translator opened from the browser: every key of the current
// language's message file, cancel writes nothing, "OK" writes the edits.
#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "fake_backend.h"
#include "frame/inifile.h"
#include "frame/msgmanager.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "support/test_support.h"
#include "texts/msg_trans_dialog.h"
#include "ui/base_form.h"
#include "ui_tests.h"

namespace kandelo::test {

namespace {

void OnTranslator(std::function<void(TMsgTransDlg&)> fn) {
  QTimer::singleShot(0, [fn] {
    auto* dlg = qobject_cast<TMsgTransDlg*>(QApplication::activeModalWidget());
    QVERIFY(dlg);
    fn(*dlg);
  });
}

int KeyCount(const std::string& file) {
  const TBigInifile ini(file);
  int n = 0;
  for (int s = 0; s < ini.Count(); ++s) n += ini.GetSection(s).Count();
  return n;
}

}  // namespace

class MessageTranslationTest : public QObject {
  Q_OBJECT
 private slots:
  void translatesTheMessagesFromTheBrowser() {
    TempUserEnvironment env;
    LoadSettings();
    InstallLanguageFiles();
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    FakeBackend backend;
    TfBaseForm browser(backend);
    browser.ApplyLanguages(1, 2);  // German into English
    const std::string src = Settings().OrvMsgFile;
    const std::string dst = AddBackslash(Settings().LangDir) + "ORVMSG.ENG";
    const std::string srcBefore = readFile(src), dstBefore = readFile(dst);
    auto* button = browser.findChild<QToolButton*>(QStringLiteral("TRBtn3"));
    QVERIFY(button && button->isEnabled());

    const int keys = KeyCount(src);
    QVERIFY(keys > 100);
    int row = -1;
    OnTranslator([&](TMsgTransDlg& d) {
      QCOMPARE(d.Table()->rowCount(), keys);
      QCOMPARE(d.windowTitle(), QStringLiteral("Meldungstexte übersetzen"));
      for (int r = 0; r < keys && row < 0; ++r)
        if (d.Table()->item(r, 2)->text() == QStringLiteral("DM_WAIT")) row = r;
      QVERIFY(row >= 0);
      QCOMPARE(d.Table()->item(row, 0)->text(), QStringLiteral("Bitte warten ..."));
      QCOMPARE(d.Table()->item(row, 1)->text(), QStringLiteral("Please wait ..."));
      d.Table()->item(row, 1)->setText(QStringLiteral("Hold on ..."));
      QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("AbortBtn")), Qt::LeftButton);
    });
    button->click();
    QCOMPARE(readFile(src), srcBefore);
    QCOMPARE(readFile(dst), dstBefore);

    OnTranslator([&](TMsgTransDlg& d) {
      d.Table()->item(row, 1)->setText(QStringLiteral("Hold on ..."));
      QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("OkBtn")), Qt::LeftButton);
    });
    button->click();
    QVERIFY(rec.shown.empty());
    QCOMPARE(readFile(src), srcBefore);
    QCOMPARE(QString::fromStdString(TMsgManager(dst).GetText("DEFAULT MESSAGES", "DM_WAIT")), QStringLiteral("Hold on ..."));
    QCOMPARE(KeyCount(dst), KeyCount(AddBackslash(Settings().LangDir) + "ORVMSG.GER"));
  }
};

KANDELO_UI_TEST(MessageTranslationTest);

}  // namespace kandelo::test

#include "msg_translation_test.moc"
