// Runs every widget test class; each exits non-zero when one of its cases fails.
#include <QApplication>
#include <QTest>

#include "ui_tests.h"

int main(int argc, char** argv) {
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
