// The toolkit's writer of PNG, SVG and PDF pictures, part of the drawing
// program of the command line.
#include <QSize>

#include "cli/cli_common.h"
#include "cli/image_output.h"
#include "cli/toolkit_session.h"
#include "graphics/qt/qt_output.h"

namespace kandelo::cli {
namespace {

int WriteImageQt(const std::string& output, const std::string& ext, int width, int height, const TImageDraw& draw) {
  TToolkitSession session;
  const TDrawFunction paint = [&](TDevice& dc, QSize s) { draw(dc, s.width(), s.height()); };
  const QSize size(width, height);
  bool ok = false;
  platform::WriteError why = platform::WriteError::None;
  if (ext == ".png") ok = SavePng(output, size, paint, &why);
  if (ext == ".svg") ok = SaveSvg(output, size, paint, &why);
  if (ext == ".pdf") ok = SavePdf(output, size, paint, &why);
  if (!ok) return FailWrite(output, why);
  return kOk;
}

const RegisterImageWriter kRegister(WriteImageQt);

}  // namespace
}  // namespace kandelo::cli
