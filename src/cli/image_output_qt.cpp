// The toolkit's writer of PNG, SVG and PDF pictures, part of the drawing
// program of the command line.
#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#include "cli/cli_common.h"
#include "cli/image_output.h"
#include "graphics/qt/qt_output.h"
#include "graphics/text_metrics.h"

namespace kandelo::cli {
namespace {

int WriteImageQt(const std::string& output, const std::string& ext, int width, int height, const TImageDraw& draw) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::unique_ptr<QGuiApplication> app;
  if (!QGuiApplication::instance()) {
    static int argc = 1;
    static char name[] = "kandelo-cli";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
  }
  UseToolkitTextMetrics();
  const TDrawFunction paint = [&](TDevice& dc, QSize s) { draw(dc, s.width(), s.height()); };
  const QSize size(width, height);
  bool ok = false;
  if (ext == ".png") ok = SavePng(output, size, paint);
  if (ext == ".svg") ok = SaveSvg(output, size, paint);
  if (ext == ".pdf") ok = SavePdf(output, size, paint);
  SetScreenTextMeasurer(nullptr);
  if (!ok) return Fail("cannot write " + FromUtf8(output));
  return kOk;
}

const RegisterImageWriter kRegister(WriteImageQt);

}  // namespace
}  // namespace kandelo::cli
