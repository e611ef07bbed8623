#include "cli/list_pdf.h"

#include "cli/cli_common.h"

#if __has_include(<QGuiApplication>)
#include <QPrinter>

#include "cli/toolkit_session.h"
#include "graphics/qt/qt_output.h"
#define KANDELO_CLI_HAS_QT 1
#endif

namespace kandelo::cli {

bool WriteListPdf(const std::vector<TListEntry>& entries, const TListTexts& texts, const TPrintTarget& target,
                  std::string& error) {
#ifdef KANDELO_CLI_HAS_QT
  TToolkitSession session;
  bool ok;
  {
    QPrinter printer(QPrinter::HighResolution);
    if (!target.printer.empty() && !SelectPrintQueue(printer, target.printer, error)) return false;
    printer.setPageSize(QPageSize(QPageSize::A4));
    TQtPrintJob job(printer);
    ok = job.Begin(target.printer.empty() ? target.pdf : std::string(), QPageLayout::Landscape);
    if (ok) {
      DrawList(job.Device(), entries, texts, [&job] { return job.NewPage(); });
      ok = job.End();
    }
    if (!ok && target.printer.empty()) {
      const std::string reason = WriteErrorText(job.WriteFailure());
      error = FromUtf8(target.pdf) + ": " + SessionText("CL_NOWRITE", "cannot be written") + (reason.empty() ? "" : " (" + reason + ")");
      return false;
    }
  }
  if (!ok) error = "cannot write " + (target.printer.empty() ? target.pdf : "to the printer " + target.printer);
  return ok;
#else
  (void)entries;
  (void)texts;
  error = "this build has no printed output (" + target.pdf + target.printer + ")";
  return false;
#endif
}

}  // namespace kandelo::cli
