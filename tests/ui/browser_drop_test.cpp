// Files given to the running browser: the command line's files and a drop of
// files and folders from a file manager are taken in, the cursor on the first.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <filesystem>

#include "fake_backend.h"
#include "frame/settings.h"
#include "support/test_support.h"
#include "ui/base_form.h"
#include "ui_tests.h"

namespace kandelo::test {

class BrowserDropTest : public QObject {
  Q_OBJECT
 private slots:
  void commandLineFilesAreAddedWithTheCursorOnTheFirst() {
    TempUserEnvironment env;
    LoadSettings();
    FakeBackend b;
    FillSample(b);
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    TfBaseForm f(b);
    f.show();
    f.OpenFiles({QStringLiteral("/elsewhere/zz last.ldt"), QStringLiteral("/elsewhere/aa first.ldt")});
    QCOMPARE(b.handed, (std::vector<std::string>{"/elsewhere/zz last.ldt", "/elsewhere/aa first.ldt"}));
    QCOMPARE(f.Model().Count(), 7);
    // The first file given, not the first in sort order.
    QCOMPARE(f.Model().RowAt(f.ActiveRow())->name, std::string("Handed zz last.ldt"));
    // The summary (then the fake's files are not there to be shown: a box of its own).
    QVERIFY(std::any_of(rec.shown.begin(), rec.shown.end(),
                        [](const MessageBox& b) { return b.text == "2 added, 0 updated, 0 failed."; }));
  }

  void aDropOfFilesAndAFolderAddsThemAll() {
    TempUserEnvironment env;
    LoadSettings();
    FakeBackend b;
    FillSample(b);
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    TfBaseForm f(b);
    f.show();
    TempDir dir;
    std::filesystem::create_directories(dir.file("folder"));
    writeFile(dir.file("one.ldt"), "x");
    writeFile(dir.file("two.ies"), "x");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.file("one.ldt"))),
                  QUrl::fromLocalFile(QString::fromStdString(dir.file("two.ies"))),
                  QUrl::fromLocalFile(QString::fromStdString(dir.file("folder"))),
                  QUrl(QStringLiteral("https://example.org/remote.ldt"))});
    const QPoint at = f.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f, &drop);
    QVERIFY(drop.isAccepted());
    // Taken in after the drop has ended, so the file manager is not held.
    QVERIFY(b.handed.empty());
    QTRY_COMPARE(b.handed.size(), std::size_t(2));
    QCOMPARE(b.handed, (std::vector<std::string>{dir.file("one.ldt"), dir.file("two.ies")}));
    QCOMPARE(b.trees, std::vector<std::string>{dir.file("folder")});
    QCOMPARE(f.Model().Count(), 8);
    QCOMPARE(f.Model().RowAt(f.ActiveRow())->name, std::string("Handed one.ldt"));

    // Something that is no local file is not taken.
    QMimeData text;
    text.setText(QStringLiteral("hello"));
    QDragEnterEvent other(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f, &other);
    QVERIFY(!other.isAccepted());
  }
};

KANDELO_UI_TEST(BrowserDropTest);

}  // namespace kandelo::test

#include "browser_drop_test.moc"
