// Runs every widget test class; each exits non-zero when one of its cases fails.
#include <QApplication>
#include <QTest>

#include "ui/instance_link.h"
#include "ui_tests.h"

// Memory Qt frees is filled at once: Qt's own code is not instrumented, and a
// use of an object freed under its feet (a socket deleted inside its own
// signal) would otherwise read the old contents and go on unnoticed.
extern "C" const char* __asan_default_options() { return "max_free_fill_size=4096:free_fill_byte=255"; }

int main(int argc, char** argv) {
  // "--hand-over NAME FILE...": this process plays a second start of the
  // program, which hands its files to the one listening on NAME and ends.
  if (argc >= 3 && QByteArray(argv[1]) == "--hand-over") {
    QCoreApplication app(argc, argv);
    QStringList files;
    for (int i = 3; i < argc; ++i) files << QString::fromLocal8Bit(argv[i]);
    return kandelo::TInstanceLink(QString::fromLocal8Bit(argv[2])).HandOver(files) ? 0 : 1;
  }
  // The tests never reach the machine's print server: a printer installed
  // there would open the print dialog where the tests write PDF files.
  qputenv("CUPS_SERVER", "/nonexistent/kandelo-tests/cups.sock");
  QApplication app(argc, argv);
  int status = 0;
  for (auto& make : kandelo::test::UiTestRegistry()) {
    std::unique_ptr<QObject> t = make();
    status |= QTest::qExec(t.get(), argc, argv);
  }
  return status;
}
