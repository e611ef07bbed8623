#include "ui/print_setup.h"

#include <QPrintDialog>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <filesystem>

#include "shell/ui_services.h"
#include "texts/qstr.h"

namespace kandelo {

bool SystemHasPrinters() { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

std::string DefaultPdfPath(const std::string& name) {
  std::filesystem::path file = std::filesystem::path(name).filename();
  if (file.empty()) file = "kandelo";
  file.replace_extension(".pdf");
  std::string dir = S(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
  if (dir.empty()) dir = S(QStandardPaths::writableLocation(QStandardPaths::HomeLocation));
  return (std::filesystem::path(dir) / file).string();
}

std::optional<PrintTarget> ChoosePrintTarget(QWidget* parent, QPrinter& printer, const std::string& title,
                                             const std::string& defaultPdf, bool toFile,
                                             QPageLayout::Orientation orientation) {
  printer.setPageOrientation(orientation);
  if (!toFile && SystemHasPrinters()) {
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setOutputFileName(QString());
    printer.setDocName(Q(std::filesystem::path(defaultPdf).stem().string()));
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(Q(title));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    PrintTarget target;
    if (printer.outputFormat() == QPrinter::PdfFormat || !printer.outputFileName().isEmpty())
      target.file = S(printer.outputFileName());
    // The job writes the file itself (safely); the printer only keeps the settings.
    printer.setOutputFileName(QString());
    if (target.ToFile() && target.file.empty()) target.file = defaultPdf;
    return target;
  }
  const std::filesystem::path pdf(defaultPdf);
  int filter = 1;
  std::string file = ui().chooseSaveFile(title, pdf.parent_path().string(), pdf.filename().string(),
                                         "PDF|*.pdf", filter);
  if (file.empty()) return std::nullopt;
  if (std::filesystem::path(file).extension().empty()) file += ".pdf";
  printer.setOutputFormat(QPrinter::PdfFormat);
  return PrintTarget{file};
}

}  // namespace kandelo
