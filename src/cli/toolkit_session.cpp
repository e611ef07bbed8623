#include "cli/toolkit_session.h"

#include <QGuiApplication>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstdlib>

#include "graphics/qt/qt_output.h"
#include "graphics/text_metrics.h"

namespace kandelo::cli {

TToolkitSession::TToolkitSession() {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (!QGuiApplication::instance()) {
    static int argc = 1;
    static char name[] = "kandelo-cli";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QGuiApplication>(argc, argv);
  }
  UseToolkitTextMetrics();
}

TToolkitSession::~TToolkitSession() { SetScreenTextMeasurer(nullptr); }

bool SelectPrintQueue(QPrinter& printer, const std::string& queue, std::string& error) {
  const QString name = QString::fromStdString(queue);
  if (!QPrinterInfo::availablePrinterNames().contains(name)) {
    error = "no printer queue named " + queue;
    return false;
  }
  printer.setOutputFormat(QPrinter::NativeFormat);
  printer.setPrinterName(name);
  if (printer.printerName() != name) {
    error = "cannot print on " + queue;
    return false;
  }
  return true;
}

}  // namespace kandelo::cli
