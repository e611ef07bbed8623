#include "cli/list_pdf.h"

#include <cstdlib>
#include <memory>

#if __has_include(<QGuiApplication>)
#include <QGuiApplication>
#include <QPrinter>

#include "graphics/qt/qt_output.h"
#include "graphics/text_metrics.h"
#define KANDELO_CLI_HAS_QT 1
#endif

namespace kandelo::cli {

bool WriteListPdf(const std::vector<TListEntry>& entries, const TListTexts& texts, const std::string& pdf,
                  std::string& error) {
#ifdef KANDELO_CLI_HAS_QT
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::unique_ptr<QGuiApplication> app;
  if (!QGuiApplication::instance()) {
    static int argc = 1;
    static char name[] = "kandelo-cli";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
  }
  UseToolkitTextMetrics();
  bool ok;
  {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    TQtPrintJob job(printer);
    ok = job.Begin(pdf, QPageLayout::Landscape);
    if (ok) {
      DrawList(job.Device(), entries, texts, [&job] { return job.NewPage(); });
      ok = job.End();
    }
  }
  SetScreenTextMeasurer(nullptr);
  if (!ok) error = "cannot write " + pdf;
  return ok;
#else
  (void)entries;
  (void)texts;
  error = "this build has no PDF output (" + pdf + ")";
  return false;
#endif
}

}  // namespace kandelo::cli
