// The filter row above the table: typing narrows the table at once, the
// current entry stays when it still matches, the status bar counts "n of N",
// a faulty expression is shown and leaves the table as it was, sorting keeps
// the filter, and the filter comes back with the next start until cleared.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include "fake_backend.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "support/test_support.h"
#include "ui/base_form.h"
#include "ui/catalogue_model.h"
#include "ui/filter_row.h"
#include "ui_tests.h"

namespace kandelo::test {

namespace {

void EnglishSession() {
  LoadSettings();
  InstallLanguageFiles();
  TProgramSettings& s = Settings();
  s.DbLang = 2;
  s.DbLangExt = ".ENG";
  s.MsgTxtFile = AddBackslash(s.LangDir) + "MSGTXT.ENG";
  s.OrvMsgFile = AddBackslash(s.LangDir) + "ORVMSG.ENG";
  s.OrvTxtFile = AddBackslash(s.LangDir) + "ORVTXT.ENG";
}

// The sample catalogue with figures: luminaire flux and beam per entry.
class FiguresBackend : public FakeBackend {
 public:
  int collections = 0;
  FiguresBackend() { FillSample(*this); }
  std::optional<std::vector<CatalogueEntry>> CatalogueEntries(int key) override {
    ++collections;
    auto entries = FakeBackend::CatalogueEntries(key);
    // Downlight 150, Leuchte Eco, Leuchtband, Wallwasher, Uplight
    const double flux[] = {3200, 1800, 4500, 3900, 2500}, beam[] = {60, 110, 90, 40, 100};
    for (CatalogueEntry& e : *entries) {
      PhotometricSummary s;
      s.luminaireFlux = flux[e.recNo - 1];
      s.beamC0 = beam[e.recNo - 1];
      s.cct = e.recNo == 2 ? PhotometricSummary::kUnknown : 4000;
      e.figures = s;
    }
    return entries;
  }
};

QStringList Names(TfBaseForm& f) {
  QStringList out;
  for (int r = 1; r <= f.Model().Count(); ++r) out << QString::fromStdString(f.Model().RowAt(r)->name);
  return out;
}

QString StatusCount(TfBaseForm& f) {
  for (QLabel* l : f.statusBar()->findChildren<QLabel*>())
    if (l->text().contains(QStringLiteral("entries"))) return l->text();
  return {};
}

void Type(TfBaseForm& f, const char* box, const QString& text) {
  auto* edit = f.findChild<QLineEdit*>(QString::fromLatin1(box));
  QVERIFY(edit);
  // As a user empties it: the change must come from typing.
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, text);
}

}  // namespace

class FilterRowTest : public QObject {
  Q_OBJECT
 private slots:
  void typingNarrowsTheTableKeepingTheCurrentEntry() {
    TempUserEnvironment env;
    EnglishSession();
    FiguresBackend b;
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    auto form = std::make_unique<TfBaseForm>(b);
    TfBaseForm& f = *form;
    f.show();
    QCOMPARE(StatusCount(f), QStringLiteral("5 entries"));
    f.ActivateRow(Names(f).indexOf(QStringLiteral("Wallwasher")) + 1);

    // Each keystroke narrows: "3" is flux >= 3, "3000" flux >= 3000.
    Type(f, "FltFluxMin", QStringLiteral("3000"));
    QCOMPARE(Names(f), (QStringList{"Downlight 150", "Leuchtband", "Wallwasher"}));
    QCOMPARE(StatusCount(f), QStringLiteral("3 of 5 entries"));
    QCOMPARE(QString::fromStdString(f.Model().RowAt(f.ActiveRow())->name), QStringLiteral("Wallwasher"));
    QCOMPARE(b.collections, 1);  // the entries are taken once, not per keystroke

    Type(f, "FltBeamMax", QStringLiteral("70"));
    QCOMPARE(Names(f), (QStringList{"Downlight 150", "Wallwasher"}));
    // The current entry drops out: the first row becomes current.
    Type(f, "FltExpr", QStringLiteral("name~down"));
    QCOMPARE(Names(f), QStringList{"Downlight 150"});
    QCOMPARE(f.ActiveRow(), 1);
    QCOMPARE(StatusCount(f), QStringLiteral("1 of 5 entries"));

    // An expression half typed is shown as faulty and the table stays.
    Type(f, "FltExpr", QStringLiteral("name~down and flux>"));
    QCOMPARE(f.FilterRow()->FaultText(), QStringLiteral("Fault in column 20"));
    QCOMPARE(Names(f), QStringList{"Downlight 150"});
    Type(f, "FltExpr", QStringLiteral("not cct=4000"));
    QCOMPARE(f.FilterRow()->FaultText(), QString());
    QCOMPARE(Names(f), QStringList{});  // Leuchte Eco has no colour temperature, but a beam of 110
    Type(f, "FltBeamMax", QString());
    QCOMPARE(Names(f), QStringList{});  // and a flux of 1800
    Type(f, "FltFluxMin", QStringLiteral("1,5e3"));
    QCOMPARE(Names(f), QStringList{"Leuchte Eco"});  // a decimal comma is a point
    Type(f, "FltExpr", QString());
    Type(f, "FltFluxMax", QStringLiteral("x"));
    QCOMPARE(Names(f).size(), qsizetype(5));  // a box without a number is left out

    // Sorting works within the filtered set.
    Type(f, "FltFluxMax", QStringLiteral("4000"));
    Type(f, "FltFluxMin", QStringLiteral("2000"));
    f.SortByColumn(3);  // by manufacturer
    QCOMPARE(Names(f), (QStringList{"Uplight", "Downlight 150", "Wallwasher"}));  // Delta, Lumen AG, Lumen AG
    QCOMPARE(StatusCount(f), QStringLiteral("3 of 5 entries"));

    // The next start filters the same way.
    f.close();
    form.reset();
    TfBaseForm again(b);
    again.show();
    QCOMPARE(StatusCount(again), QStringLiteral("3 of 5 entries"));
    // The clear button drops the filter.
    auto* clear = again.findChild<QToolButton*>(QStringLiteral("FltClearBtn"));
    QVERIFY(clear);
    clear->click();
    QCOMPARE(StatusCount(again), QStringLiteral("5 entries"));
    QVERIFY(again.FilterRow()->Empty());
  }
};

KANDELO_UI_TEST(FilterRowTest);

}  // namespace kandelo::test

#include "filter_row_test.moc"
