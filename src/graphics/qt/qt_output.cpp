#include "graphics/qt/qt_output.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <filesystem>
#include <optional>
#include <system_error>

#include "graphics/metafile.h"
#include "graphics/qt/qt_device.h"

namespace kandelo {

void UseToolkitTextMetrics() { SetScreenTextMeasurer(std::make_shared<TQtTextMeasurer>()); }

void PaintOn(QPaintDevice& target, const TDrawFunction& draw) {
  QPainter painter(&target);
  if (!painter.isActive()) return;
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.fillRect(QRect(0, 0, target.width(), target.height()), Qt::white);
  TQtPainterDevice dc(painter);
  draw(dc, QSize(target.width(), target.height()));
}

QImage RenderImage(QSize size, const TDrawFunction& draw) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  PaintOn(image, draw);
  return image;
}

namespace {

bool Fails(platform::WriteError* why) {
  if (why) *why = platform::WriteError::Unknown;
  return false;
}

bool WriteBytes(const std::string& path, const QByteArray& bytes, platform::WriteError* why) {
  return platform::writeFileAtomic(path, std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())), why);
}

}  // namespace

bool SavePng(const std::string& path, QSize size, const TDrawFunction& draw, platform::WriteError* why) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!RenderImage(size, draw).save(&buffer, "PNG") || bytes.isEmpty()) return Fails(why);
  return WriteBytes(path, bytes, why);
}

bool SaveSvg(const std::string& path, QSize size, const TDrawFunction& draw, platform::WriteError* why) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setResolution(96);
    svg.setTitle("Kandelo");
    PaintOn(svg, draw);
  }  // the generator writes its closing tag when it goes
  if (!bytes.trimmed().endsWith("</svg>")) return Fails(why);
  return WriteBytes(path, bytes, why);
}

bool SavePdf(const std::string& path, QSize size, const TDrawFunction& draw, platform::WriteError* why) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&buffer);
    pdf.setResolution(1200);
    pdf.setPageSize(QPageSize(QSizeF(size.width() * 72.0 / 96.0, size.height() * 72.0 / 96.0), QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setCreator("Kandelo");
    QPainter painter(&pdf);
    if (!painter.isActive()) return Fails(why);
    painter.setRenderHint(QPainter::Antialiasing);
    {
      TQtPainterDevice dc(painter);
      draw(dc, QSize(pdf.width(), pdf.height()));
    }
    if (!painter.end()) return Fails(why);
  }
  if (!PdfLooksComplete(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())))) return Fails(why);
  return WriteBytes(path, bytes, why);
}

QMimeData* PictureMimeData(const std::function<void(TDevice& dc)>& draw, int width, int height) {
  auto* mime = new QMimeData;
  TxMetaFile mf;
  TDevice& recorder = mf.BeginRecording();
  mf.width = width;
  mf.height = height;
  mf.unitsPerInch = 1000;
  draw(recorder);
  const std::vector<unsigned char> wmf = mf.PlaceableBytes();
  mime->setData("image/x-wmf", QByteArray(reinterpret_cast<const char*>(wmf.data()), static_cast<qsizetype>(wmf.size())));
  // Raster and SVG at twice the screen's 96 dpi.
  const QSize px(std::max(1, width * 192 / 1000), std::max(1, height * 192 / 1000));
  const TDrawFunction onDevice = [&](TDevice& dc, QSize size) {
    dc.SetMapMode(gdi::MM_ANISOTROPIC);
    dc.SetViewportExt(size.width(), size.height());
    draw(dc);
  };
  const QImage image = RenderImage(px, onDevice);
  mime->setImageData(image);
  // The PNG bytes themselves as well: the image above is converted only on
  // platforms whose clipboard asks for it, and a MIME type list should name
  // it everywhere.
  QBuffer pngBuffer;
  pngBuffer.open(QIODevice::WriteOnly);
  image.save(&pngBuffer, "PNG");
  mime->setData("image/png", pngBuffer.data());
  QBuffer svgBuffer;
  svgBuffer.open(QIODevice::WriteOnly);
  {
    QSvgGenerator svg;
    svg.setOutputDevice(&svgBuffer);
    svg.setSize(px);
    svg.setViewBox(QRect(QPoint(0, 0), px));
    PaintOn(svg, onDevice);
  }
  mime->setData("image/svg+xml", svgBuffer.data());
  return mime;
}

void CopyPictureToClipboard(const std::function<void(TDevice& dc)>& draw, int width, int height) {
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setMimeData(PictureMimeData(draw, width, height));
}

namespace {
void RemoveQuietly(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}
}  // namespace

// The printer's painter with its printing offset and printable area.
class TQtPrintJob::PrinterDevice : public TQtPainterDevice {
 public:
  PrinterDevice(QPainter& painter, QPrinter& printer) : TQtPainterDevice(painter), printer_(printer) {}
  int GetDeviceCaps(int index) const override {
    const QRectF paper = printer_.paperRect(QPrinter::DevicePixel);
    const QRectF page = printer_.pageRect(QPrinter::DevicePixel);
    switch (index) {
      case gdi::PHYSICALOFFSETX: return static_cast<int>(std::lround(page.left() - paper.left()));
      case gdi::PHYSICALOFFSETY: return static_cast<int>(std::lround(page.top() - paper.top()));
      case gdi::HORZRES: return static_cast<int>(std::lround(page.width()));
      case gdi::VERTRES: return static_cast<int>(std::lround(page.height()));
      default: return TQtPainterDevice::GetDeviceCaps(index);
    }
  }

 private:
  QPrinter& printer_;
};

TQtPrintJob::TQtPrintJob(QPrinter& printer) : printer_(printer) {}
TQtPrintJob::~TQtPrintJob() { Abort(); }

void TQtPrintJob::SetDocumentInfo(const TDocumentInfo& info) {
  info_ = info;
  info_.creator = std::string("Kandelo ") + KANDELO_VERSION;
}

bool TQtPrintJob::Begin(const std::string& outputFile, QPageLayout::Orientation orientation) {
  Abort();
  writeError_ = platform::WriteError::None;
  if (!info_.title.empty()) printer_.setDocName(QString::fromStdString(info_.title));
  printer_.setCreator(QString::fromStdString(std::string("Kandelo ") + KANDELO_VERSION));
  if (!outputFile.empty()) {
    target_ = outputFile;
    temporary_ = platform::temporaryPathFor(outputFile);
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setOutputFileName(QString::fromStdString(temporary_));
  }
  printer_.setPageOrientation(orientation);
  painter_ = std::make_unique<QPainter>();
  if (!painter_->begin(&printer_)) {
    painter_.reset();
    if (!temporary_.empty()) {
      writeError_ = platform::whyNotWritable(target_);
      RemoveQuietly(temporary_);
    }
    target_.clear();
    temporary_.clear();
    return false;
  }
  painter_->setRenderHint(QPainter::Antialiasing);
  device_ = std::make_unique<PrinterDevice>(*painter_, printer_);
  margins_ = PrintJobMargins(*device_);
  return true;
}

TRect TQtPrintJob::BeginTwipsPage() {
  if (!device_) return {};
  return ApplyPageMargins(kandelo::BeginTwipsPage(*device_), margins_);
}

void TQtPrintJob::EndTwipsPage() {
  if (device_) kandelo::EndTwipsPage(*device_);
}

bool TQtPrintJob::NewPage() { return device_ && printer_.newPage(); }

bool TQtPrintJob::End() {
  if (!painter_) return false;
  device_.reset();
  bool ok = painter_->end() && printer_.printerState() != QPrinter::Error;
  painter_.reset();
  if (!temporary_.empty()) {
    // The toolkit does not report a write that failed part way (a full disk):
    // the file is read back, checked whole and written in place by the one
    // atomic writer, which does report it.
    printer_.setOutputFileName(QString());
    std::optional<std::string> bytes;
    if (ok && !info_.empty()) ok = AddPdfDocumentInfo(temporary_, info_);
    if (ok) bytes = platform::readWholeFile(temporary_);
    ok = ok && bytes && PdfLooksComplete(*bytes);
    // The toolkit keeps the system's reason to itself.
    if (!ok) writeError_ = platform::whyNotWritable(target_);
    if (ok) ok = platform::writeFileAtomic(target_, *bytes, &writeError_);
    RemoveQuietly(temporary_);
    target_.clear();
    temporary_.clear();
  }
  return ok;
}

void TQtPrintJob::Abort() {
  if (painter_) {
    device_.reset();
    if (temporary_.empty()) printer_.abort();
    painter_->end();
    painter_.reset();
  }
  if (!temporary_.empty()) {
    RemoveQuietly(temporary_);
    printer_.setOutputFileName(QString());
  }
  target_.clear();
  temporary_.clear();
}

TDevice& TQtPrintJob::Device() { return *device_; }

bool TQtPrintJob::DrawImageFile(const TRect& box, const std::string& pathUtf8) {
  return device_ && device_->DrawImageFile(box, pathUtf8);
}

}  // namespace kandelo
