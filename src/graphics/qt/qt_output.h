// Output of drawings through the toolkit: images (PNG), SVG and PDF files,
// printer pages, and the measuring context with real font metrics.
#pragma once

#include <QImage>
#include <QMimeData>
#include <QPrinter>
#include <QSize>
#include <functional>
#include <memory>
#include <string>

#include "graphics/device.h"
#include "graphics/pdf_info.h"
#include "graphics/printer_page.h"
#include "platform/fileio.h"

namespace kandelo {

// Draws on a device whose client area is `size` device units.
using TDrawFunction = std::function<void(TDevice& dc, QSize size)>;

// Installs the toolkit's font metrics as the screen's measuring context
// (needs a QGuiApplication).
void UseToolkitTextMetrics();

// Paints on any paint device, antialiased, on a white background.
void PaintOn(QPaintDevice& target, const TDrawFunction& draw);
QImage RenderImage(QSize size, const TDrawFunction& draw);
// The files are drawn in memory, checked and written through
// platform::writeFileAtomic: true only when the whole file is in place; on a
// failure the target is left as it was and `why` (when given) tells the reason.
bool SavePng(const std::string& path, QSize size, const TDrawFunction& draw, platform::WriteError* why = nullptr);
// The page size is `size` pixels at 96 dpi; vector output.
bool SaveSvg(const std::string& path, QSize size, const TDrawFunction& draw, platform::WriteError* why = nullptr);
bool SavePdf(const std::string& path, QSize size, const TDrawFunction& draw, platform::WriteError* why = nullptr);

// A picture for the clipboard: the placeable metafile ("image/x-wmf", 1000
// units per inch), SVG and PNG of the same drawing. `draw` draws standalone:
// it sets its own window extent to (width, height) logical units.
QMimeData* PictureMimeData(const std::function<void(TDevice& dc)>& draw, int width, int height);
// Replaces the clipboard's content with that picture.
void CopyPictureToClipboard(const std::function<void(TDevice& dc)>& draw, int width, int height);

// A print job on a printer, or in a PDF file when `outputFile` is given
// (printing to a file). Pages are drawn in twips between BeginTwipsPage and
// EndTwipsPage; the page margins of the job apply to each page rectangle.
// A PDF file is written under a temporary name in the target's directory and
// renamed into place by a successful End, so a failed or abandoned job never
// leaves a cut file or replaces an existing one.
class TQtPrintJob {
 public:
  explicit TQtPrintJob(QPrinter& printer);
  ~TQtPrintJob();  // abandons a job that was not ended
  // For the next Begin: the job's name and a PDF file's document
  // information (the creator is always the program and its version).
  void SetDocumentInfo(const TDocumentInfo& info);
  // False when the printer or the file cannot be opened (a missing or
  // read-only directory).
  bool Begin(const std::string& outputFile = "",
             QPageLayout::Orientation orientation = QPageLayout::Portrait);
  // The page rectangle in twips with the job's margins applied.
  TRect BeginTwipsPage();
  void EndTwipsPage();
  bool NewPage();
  // Ends the document; for a file, checks it is whole and puts it in place
  // through platform::writeFileAtomic. False when the printer or the file
  // reported an error (no file is left then; WriteFailure says why).
  bool End();
  platform::WriteError WriteFailure() const { return writeError_; }
  // Ends the document and throws away a file being written.
  void Abort();
  TDevice& Device();
  // See TPageJob::DrawImageFile.
  bool DrawImageFile(const TRect& box, const std::string& pathUtf8);
  const TPageMargins& Margins() const { return margins_; }

 private:
  class PrinterDevice;
  QPrinter& printer_;
  std::unique_ptr<QPainter> painter_;
  std::unique_ptr<PrinterDevice> device_;
  TPageMargins margins_;
  TDocumentInfo info_;
  std::string target_;     // the PDF file asked for
  std::string temporary_;  // where it is written until End
  platform::WriteError writeError_ = platform::WriteError::None;
};

}  // namespace kandelo
