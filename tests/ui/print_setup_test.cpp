// Choosing where a print job goes when printing to a file.
#include <QPrinter>
#include <QTest>
#include <filesystem>

#include "shell/ui_services.h"
#include "ui/print_setup.h"
#include "ui_tests.h"

namespace kandelo::test {

namespace {

struct SaveAnswer : UiServices {
  std::string answer;
  std::string offeredName;
  int showMessage(const MessageBox&) override { return mrOk; }
  std::string chooseSaveFile(const std::string&, const std::string&, const std::string& fileName,
                             const std::string&, int&) override {
    offeredName = fileName;
    return answer;
  }
};

}  // namespace

class PrintSetupTest : public QObject {
  Q_OBJECT
 private slots:
  void defaultPdfIsTheDocumentNameInTheDocumentsFolder() {
    QCOMPARE(QString::fromStdString(std::filesystem::path(DefaultPdfPath("/lum/A1234.LDT")).filename().string()),
             QStringLiteral("A1234.pdf"));
    QCOMPARE(QString::fromStdString(std::filesystem::path(DefaultPdfPath("NAME")).filename().string()),
             QStringLiteral("NAME.pdf"));
  }

  void printingToAFileAsksForThePdf() {
    SaveAnswer answer;
    ScopedUiServices scoped(answer);
    QPrinter printer;
    answer.answer = "/tmp/out/sheet";
    const auto chosen = ChoosePrintTarget(nullptr, printer, "Print", "/docs/A1234.pdf", true);
    QVERIFY(chosen && chosen->ToFile());
    QCOMPARE(QString::fromStdString(chosen->file), QStringLiteral("/tmp/out/sheet.pdf"));
    QCOMPARE(QString::fromStdString(answer.offeredName), QStringLiteral("A1234.pdf"));
    answer.answer.clear();  // cancelled
    QVERIFY(!ChoosePrintTarget(nullptr, printer, "Print", "/docs/A1234.pdf", true));
  }
};

KANDELO_UI_TEST(PrintSetupTest);

}  // namespace kandelo::test

#include "print_setup_test.moc"
