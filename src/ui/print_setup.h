// Where a print job goes: one of the system's printers, or a PDF file.
#pragma once

#include <QPageLayout>
#include <QPrinter>
#include <optional>
#include <string>

class QWidget;

namespace kandelo {

struct PrintTarget {
  // Empty for a printer; the PDF file otherwise (print to file).
  std::string file;
  bool ToFile() const { return !file.empty(); }
};

// True when the system (CUPS) offers at least one printer.
bool SystemHasPrinters();

// The default PDF for a document: `name` with its extension replaced by
// ".pdf", in the user's documents folder.
std::string DefaultPdfPath(const std::string& name);

// Asks where a job goes. With printers installed and `toFile` false, the print
// dialog (which offers printing to a PDF file as well); otherwise a save
// dialog for the PDF file (through the UiServices, so tests can answer it).
// `printer` is set up for the chosen printer. nullopt when cancelled.
std::optional<PrintTarget> ChoosePrintTarget(QWidget* parent, QPrinter& printer, const std::string& title,
                                             const std::string& defaultPdf, bool toFile = false,
                                             QPageLayout::Orientation orientation = QPageLayout::Portrait);

}  // namespace kandelo
