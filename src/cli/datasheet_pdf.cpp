#include "cli/datasheet_pdf.h"

#include "cli/cli_common.h"

#if __has_include(<QGuiApplication>)
#include <QPrinter>

#include "cli/toolkit_session.h"
#include "graphics/qt/qt_page_job.h"
#define KANDELO_CLI_HAS_QT 1
#endif

namespace kandelo::cli {

int WriteDatasheetPdf(TLUM32& lum, const TOutputSettings& settings, const TMsgManager& msg,
                      const TDatasheetOptions& options, const TPrintTarget& target) {
#ifdef KANDELO_CLI_HAS_QT
  TToolkitSession session;
  QPrinter printer(QPrinter::HighResolution);
  if (!target.printer.empty()) {
    std::string error;
    if (!SelectPrintQueue(printer, target.printer, error)) return Fail(error);
  }
  printer.setPageSize(QPageSize(QPageSize::A4));
  TQtPageJob job(printer, target.printer.empty() ? target.pdf : std::string());
  const TDatasheetResult r = PrintDatasheet(lum, nullptr, settings, msg, job, options);
  const std::string where = target.printer.empty() ? FromUtf8(target.pdf) : "the printer " + target.printer;
  switch (r.status) {
    case TDatasheetStatus::Printed: return kOk;
    case TDatasheetStatus::NoData: return Fail("the luminaire holds no usable data; nothing was printed");
    case TDatasheetStatus::NoPages: return Fail("none of the chosen pages can be printed for this luminaire");
    case TDatasheetStatus::JobFailed:
      return target.printer.empty() ? FailWrite(target.pdf, job.WriteFailure()) : Fail("cannot write " + where);
    case TDatasheetStatus::Failed: return Fail(r.error);
  }
  return kFailure;
#else
  (void)lum;
  (void)settings;
  (void)msg;
  (void)options;
  return Fail("this build has no printed output (" + FromUtf8(target.pdf + target.printer) + ")");
#endif
}

}  // namespace kandelo::cli
