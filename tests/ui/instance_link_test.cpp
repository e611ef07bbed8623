// A second start of the program, as a process of its own, hands a file to the
// running window; the summary box it brings is answered, and the window lives on.
#include <QApplication>
#include <QEventLoop>
#include <QLocalSocket>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <functional>

#include "fake_backend.h"
#include "shell/msgbox.h"
#include "frame/settings.h"
#include "support/test_support.h"
#include "ui/base_form.h"
#include "ui/instance_link.h"
#include "ui/qt_ui_services.h"
#include "ui_tests.h"

namespace kandelo::test {

namespace {

// Runs a real event loop, as the window's main loop does, until done() holds
// or the time is up: the hand-over and the box's own loop nest as they do in
// the program.
bool RunEventLoopUntil(const std::function<bool()>& done, int timeoutMs) {
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  poll.start(10);
  QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
  loop.exec();
  return done();
}

}  // namespace

class InstanceLinkTest : public QObject {
  Q_OBJECT
 private slots:
  void theSummaryBoxOfAHandedOverFileIsAnsweredAndTheWindowLivesOn() {
    TempUserEnvironment env;
    LoadSettings();
    FakeBackend b;
    FillSample(b);
    QtUiServices services;  // real boxes with event loops of their own
    ScopedUiServices scoped(services);
    TfBaseForm f(b);
    f.show();
    TempDir dir;
    const QString name = QString::fromStdString(dir.file("link"));
    TInstanceLink first(name);
    QVERIFY(first.Listen());
    connect(&first, &TInstanceLink::FilesReceived, &f, &TfBaseForm::OpenFiles);

    QProcess second;
    second.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--hand-over"), name, QStringLiteral("/photometry/new one.ldt")});
    QVERIFY(second.waitForStarted());

    // The box is answered only after the second start has ended and hung
    // up, as when a user reads it first; at the latest after 15 s, so that a
    // box that never sees the end cannot hold the tests.
    QString boxText;
    bool answered = false;
    int ticks = 0, ticksAfterEnd = 0;
    QProcess* waitFor = &second;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&] {
      ++ticks;
      QMessageBox* box = nullptr;
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<QMessageBox*>(w); m && m->isVisible()) box = m;
      if (!box) return;
      // Other boxes (the fake's files do not load) are not the hand-over's.
      if (!answered && !box->text().startsWith(QStringLiteral("1 "))) {
        box->accept();
        return;
      }
      if (waitFor->state() == QProcess::NotRunning) ++ticksAfterEnd;
      if (answered) {
        box->accept();  // what follows the summary (the fake files do not load)
        return;
      }
      if (ticksAfterEnd < 10 && ticks < 750) return;
      boxText = box->text();
      box->accept();
      answered = true;
    });
    answer.start(20);
    QVERIFY(RunEventLoopUntil([&] { return answered; }, 20000));
    QVERIFY2(ticksAfterEnd >= 10, "the box was answered before the second start ended");
    QTRY_COMPARE(b.handed.size(), std::size_t(1));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QVERIFY2(boxText.startsWith(QStringLiteral("1 ")), qPrintable(boxText));
    QCOMPARE(b.handed[0], std::string("/photometry/new one.ldt"));
    // The window goes on and takes a next start as well.
    QVERIFY(f.isVisible());
    QCOMPARE(f.Model().Count(), 6);
    QCOMPARE(f.Model().RowAt(f.ActiveRow())->name, std::string("Handed new one.ldt"));
    QProcess third;
    third.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--hand-over"), name, QStringLiteral("/photometry/third.ldt")});
    QVERIFY(third.waitForStarted());
    waitFor = &third;
    ticks = ticksAfterEnd = 0;
    answered = false;
    answer.start(20);
    QVERIFY(RunEventLoopUntil([&] { return answered; }, 20000));
    QTRY_COMPARE(b.handed.size(), std::size_t(2));
    QCOMPARE(third.exitCode(), 0);
  }
};

KANDELO_UI_TEST(InstanceLinkTest);

}  // namespace kandelo::test

#include "instance_link_test.moc"
