#include "cli/datasheet_pdf.h"

#include <cstdlib>
#include <memory>

#include "cli/cli_common.h"

#if __has_include(<QGuiApplication>)
#include <QGuiApplication>
#include <QPrinter>

#include "graphics/qt/qt_output.h"
#include "graphics/qt/qt_page_job.h"
#include "graphics/text_metrics.h"
#define KANDELO_CLI_HAS_QT 1
#endif

namespace kandelo::cli {

int WriteDatasheetPdf(TLUM32& lum, const TOutputSettings& settings, const TMsgManager& msg,
                      const TDatasheetOptions& options, const std::string& output) {
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
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  TQtPageJob job(printer, output);
  const TDatasheetResult r = PrintDatasheet(lum, nullptr, settings, msg, job, options);
  SetScreenTextMeasurer(nullptr);
  switch (r.status) {
    case TDatasheetStatus::Printed: return kOk;
    case TDatasheetStatus::NoData: return Fail("the luminaire holds no usable data; nothing was printed");
    case TDatasheetStatus::NoPages: return Fail("none of the chosen pages can be printed for this luminaire");
    case TDatasheetStatus::JobFailed: return Fail("cannot write " + FromUtf8(output));
    case TDatasheetStatus::Failed: return Fail(r.error);
  }
  return kFailure;
#else
  (void)lum;
  (void)settings;
  (void)msg;
  (void)options;
  return Fail("this build has no PDF output (" + FromUtf8(output) + ")");
#endif
}

}  // namespace kandelo::cli
