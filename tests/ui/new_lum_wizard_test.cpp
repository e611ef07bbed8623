// The new-luminaire wizard: format and plane-system switches, each field's
// refusal with its message, the replace question, the file it writes, and
// the browser cataloguing the new file.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "fake_backend.h"
#include "frame/msgmanager.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "platform/fileio.h"
#include "support/test_support.h"
#include "ui/base_form.h"
#include "ui/new_lum_wizard.h"
#include "ui_tests.h"

namespace kandelo::test {

namespace {

namespace pf = kandelo::platform;

void Session(const char* ext) {
  LoadSettings();
  InstallLanguageFiles();
  TProgramSettings& s = Settings();
  s.DbLangExt = ext;
  s.MsgTxtFile = AddBackslash(s.LangDir) + "MSGTXT" + ext;
  s.OrvMsgFile = AddBackslash(s.LangDir) + "ORVMSG" + ext;
  s.OrvTxtFile = AddBackslash(s.LangDir) + "ORVTXT" + ext;
}

std::string Error(const char* key) { return TMsgManager(Settings().OrvMsgFile).GetText("ERRORS", key); }

// Types into a field and leaves it, as a user does.
bool Enter(TNLWIZ& w, QLineEdit* field, const QString& text) {
  field->setText(text);
  return w.CheckField(field);
}

class CataloguingBackend : public FakeBackend {
 public:
  std::vector<std::string> catalogued;
  std::int32_t CatalogueFileInPlace(const std::string& path) override {
    catalogued.push_back(path);
    Add("New", "", path.substr(path.find_last_of('/') + 1), "", "EULUM-DAT");
    return rows.back().recNo;
  }
};

}  // namespace

class NewLuminaireWizardTest : public QObject {
  Q_OBJECT
 private slots:
  void formatAndPlaneSystem() {
    TempUserEnvironment env;
    Session(".ENG");
    TNLWIZ w(false);
    QCOMPARE(w.FormatCombo()->currentIndex(), 1);
    QCOMPARE(w.NewFormat(), int(fmtEulumdat));
    QVERIFY(!w.BPlaneRadio()->isEnabled());
    QVERIFY(w.MeasurementPanel()->isHidden());
    QCOMPARE(w.SymmCombo()->count(), 5);
    QCOMPARE(w.BetaSymmCombo()->count(), 3);
    QCOMPARE(w.SymmCombo()->itemText(1), QStringLiteral("rotationally symmetric"));
    w.FormatCombo()->setCurrentIndex(0);
    emit w.FormatCombo()->activated(0);
    QCOMPARE(w.NewFormat(), int(fmtLum32));
    QVERIFY(w.BPlaneRadio()->isEnabled());
    QVERIFY(!w.MeasurementPanel()->isHidden());
    w.BPlaneRadio()->setChecked(true);
    emit w.FormatCombo()->activated(1);  // back to EULUMDAT: C planes again
    QVERIFY(w.CPlaneRadio()->isChecked());
    // Rotational symmetry: one plane, no step.
    emit w.SymmCombo()->activated(1);
    QVERIFY(!w.CStepField()->isEnabled());
    QCOMPARE(w.CGrid().planeEnd, 0.0);
  }

  void fieldsRefuseWithTheirMessages() {
    TempUserEnvironment env;
    Session(".GER");
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    TNLWIZ w(false);
    emit w.SymmCombo()->activated(4);
    QVERIFY(!Enter(w, w.CStepField(), QStringLiteral("7")));
    QCOMPARE(w.CGrid().planeStep, 15.0);
    QVERIFY(Enter(w, w.CStepField(), QStringLiteral("7,5")));
    QCOMPARE(w.CGrid().planeStep, 7.5);
    QVERIFY(Enter(w, w.GammaEndField(), QStringLiteral("87")));
    QCOMPARE(w.GammaStepField()->text(), QStringLiteral("87.0"));
    QVERIFY(!Enter(w, w.GammaStartField(), QStringLiteral("90")));
    QVERIFY(!Enter(w, w.GammaEndField(), QStringLiteral("50")));  // not larger than the step 87
    QVERIFY(Enter(w, w.GammaEndField(), QStringLiteral("90")));
    QVERIFY(!Enter(w, w.GammaStepField(), QStringLiteral("4")));
    QVERIFY(!Enter(w, w.GammaStepField(), QStringLiteral("")));
    const std::vector<std::string> expected = {Error("EM_INVCS"), Error("EM_INVG1"), Error("EM_INVGE"),
                                               Error("EM_INVGS"), Error("EM_INVGS")};
    QCOMPARE(rec.texts(), expected);
    QVERIFY(!expected.front().empty());

    // No name: nothing is written.
    QVERIFY(Enter(w, w.GammaStepField(), QStringLiteral("5")));
    rec.shown.clear();
    QVERIFY(!w.Create());
    QCOMPARE(rec.texts().at(0), TMsgManager(Settings().OrvMsgFile).GetText("DEFAULT MESSAGES", "DM_NOFN"));
    // A typed step that was never confirmed is checked on "create" too.
    w.NameField()->setText(QStringLiteral("NEW1"));
    w.GammaStepField()->setText(QStringLiteral("7"));
    QVERIFY(!w.Create());
    QVERIFY(!pf::fs().exists(AddBackslash(Settings().LumDir1) + "NEW1.LDT"));
  }

  void writesTheFileAndAsksBeforeReplacing() {
    TempUserEnvironment env;
    Session(".ENG");
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    const std::string existing = AddBackslash(Settings().LumDir1) + "OLD.LDT";
    writeFile(existing, "old");
    {
      TNLWIZ w(false);
      rec.answers = {mrNo};
      QVERIFY(!Enter(w, w.NameField(), QStringLiteral("OLD")));
      QVERIFY(w.FileNameFull().empty());
      QCOMPARE(readFile(existing), std::string("old"));
      QVERIFY(Enter(w, w.NameField(), QStringLiteral("OTHER")));
      rec.answers = {mrNo};
      w.AbortClicked();  // "really abort?" No: the wizard keeps its state
      QVERIFY(!w.FileNameFull().empty());
      rec.answers = {mrYes};
      w.AbortClicked();
      QVERIFY(w.FileNameFull().empty());
      QVERIFY(!pf::fs().exists(AddBackslash(Settings().LumDir1) + "OTHER.LDT"));
    }
    // Defaults: 24 C planes and 19 γ angles; B-β half symmetric: 37 planes.
    struct Case {
      bool lum32, bPlanes;
      const char* name;
      int planes, angles;
    } cases[] = {{false, false, "DEF", 24, 19}, {true, true, "HALF", 37, 19}};
    for (const Case& c : cases) {
      TNLWIZ w(false);
      if (c.lum32) emit w.FormatCombo()->activated(0);
      if (c.bPlanes) {
        w.BPlaneRadio()->setChecked(true);
        emit w.BetaSymmCombo()->activated(1);
        QVERIFY(Enter(w, w.findChild<QLineEdit*>(QStringLiteral("betaStepFld")), QStringLiteral("5")));
        w.LuxBox()->setChecked(true);
      }
      QVERIFY(Enter(w, w.NameField(), QString::fromLatin1(c.name)));
      w.LumNameField()->setText(QStringLiteral("Empty luminaire"));
      QVERIFY(w.Create());
      TLUM32 lum;
      QVERIFY(LoadLuminaire(w.CreatedFile(), lum, LoadValues::AsRead).ok());
      QCOMPARE(int(lum.CPlaneCount), c.planes);
      QCOMPARE(int(lum.GammaCount), c.angles);
      QCOMPARE(int(lum.PlaneSystem), c.bPlanes ? int(psBBeta) : int(psCGamma));
      QCOMPARE(QString::fromStdString(lum.LumName), QStringLiteral("Empty luminaire"));
      if (c.lum32) QCOMPARE(lum.MeasTotalFlux, 1000.0f);
      if (c.lum32) QCOMPARE(QString::fromStdString(lum.ShortName), QStringLiteral("HALF"));
    }
  }

  void theBrowserCataloguesTheNewFile() {
    TempUserEnvironment env;
    LoadSettings();
    InstallLanguageFiles();
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    CataloguingBackend backend;
    TfBaseForm browser(backend);
    browser.ApplyLanguages(2, 2);
    auto* button = browser.findChild<QToolButton*>(QStringLiteral("NewLumBtn"));
    QVERIFY(button && button->isEnabled());
    bool shown = false;
    QTimer::singleShot(0, [&] {
      auto* w = qobject_cast<TNLWIZ*>(QApplication::activeModalWidget());
      QVERIFY(w);
      shown = true;
      QCOMPARE(w->windowTitle(), QStringLiteral("Create new luminaire"));
      w->NameField()->setText(QStringLiteral("FRESH"));
      QTest::mouseClick(w->FwdBtn(), Qt::LeftButton);
    });
    button->click();
    QVERIFY(shown);
    QCOMPARE(backend.catalogued, std::vector<std::string>{AddBackslash(Settings().LumDir1) + "FRESH.LDT"});
    QVERIFY(pf::fs().exists(backend.catalogued.front()));
  }
};

KANDELO_UI_TEST(NewLuminaireWizardTest);

}  // namespace kandelo::test

#include "new_lum_wizard_test.moc"
