#include <gtest/gtest.h>

#include <QMimeData>
#include <QPrinter>
#include <QTest>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "graphics/qt/drwwin_widget.h"
#include "graphics/qt/qt_device.h"
#include "graphics/qt/qt_output.h"
#include "graphics/simpledc.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

// A 4000 x 4000 logical picture on the whole device, like a standalone diagram.
void Standalone(TDevice& dev, QSize size) {
  dev.SetMapMode(gdi::MM_ANISOTROPIC);
  dev.SetWindowExt(4000, 4000);
  dev.SetViewportExt(size.width(), size.height());
}

void Picture(TDevice& dev, QSize size) {
  Standalone(dev, size);
  TSimpleDC dc(dev, true);
  dc.Pen().SetWidth(40);
  dc.FrameRect(400, 400, 3600, 3600);
  dc.Pen().SetStyle(gdi::PS_NULL);
  dc.Brush().SetBrush(gdi::BS_SOLID, 0, RGBColor(255, 255, 0));
  const TPoint tri[3] = {{1000, 1000}, {3000, 1000}, {2000, 3000}};
  dc.Polygon(tri, 3);
  dc.Font().SetName("Arial");
  dc.Font().SetHeight(300);
  dc.SetTextAlign(gdi::TA_RIGHT, gdi::TA_BASELINE);
  dc.TextOut(3500, 3500, "C90");
}

bool IsColor(const QImage& img, int x, int y, QColor c) {
  const QColor p = img.pixelColor(x, y);
  return std::abs(p.red() - c.red()) < 40 && std::abs(p.green() - c.green()) < 40 && std::abs(p.blue() - c.blue()) < 40;
}

TEST(QtPainterDeviceTest, RendersMappedPrimitives) {
  const QImage img = RenderImage(QSize(400, 400), Picture);
  EXPECT_TRUE(IsColor(img, 200, 150, Qt::yellow));   // inside the triangle
  EXPECT_TRUE(IsColor(img, 60, 200, Qt::white));     // between frame and triangle
  EXPECT_TRUE(IsColor(img, 40, 200, Qt::black));     // frame line, 4 px wide
  EXPECT_TRUE(IsColor(img, 20, 200, Qt::white));
  // The text is right aligned at x = 350 px, sits on the baseline y = 350 px.
  int maxX = 0, maxY = 0, minY = 400;
  for (int y = 300; y < 356; ++y) {  // left of and above the frame line at 360 px
    for (int x = 250; x < 356; ++x) {
      if (img.pixelColor(x, y).lightness() < 128) {
        maxX = std::max(maxX, x);
        maxY = std::max(maxY, y);
        minY = std::min(minY, y);
      }
    }
  }
  EXPECT_NEAR(maxX, 349, 3);
  EXPECT_NEAR(maxY, 349, 2);
  EXPECT_NEAR(maxY - minY, 21, 3);  // cap height of a 30 px font
}

TEST(QtPainterDeviceTest, EscapementTurnsTextCounterclockwise) {
  const QImage img = RenderImage(QSize(400, 400), [](TDevice& dev, QSize) {
    TSimpleDC dc(dev, false);
    dc.Font().SetName("Arial");
    dc.Font().SetHeight(-30);
    dc.Font().SetEscapement(900);
    dc.SetTextAlign(gdi::TA_LEFT, gdi::TA_BASELINE);
    dc.TextOut(200, 300, "MMMMMM");
  });
  int minX = 400, maxX = 0, minY = 400, maxY = 0;
  for (int y = 0; y < 400; ++y) {
    for (int x = 0; x < 400; ++x) {
      if (img.pixelColor(x, y).lightness() < 128) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
      }
    }
  }
  // Written upwards from the reference point, the glyphs left of the baseline.
  EXPECT_NEAR(maxY, 300, 3);
  EXPECT_GT(300 - minY, 120);
  EXPECT_NEAR(maxX, 200, 2);
  EXPECT_NEAR(200 - minX, 22, 4);  // cap height of a 30 px font
}

TEST(QtPainterDeviceTest, TextMetricsAgreeWithTheBuiltInTables) {
  const TQtTextMeasurer qt;
  const TBuiltinTextMeasurer builtin;
  for (int weight : {gdi::FW_NORMAL, gdi::FW_BOLD}) {
    LogFont f;
    f.faceName = "Arial";
    f.height = 126;
    f.weight = weight;
    TSize a, b;
    ASSERT_TRUE(qt.Measure(f, "Lichtstärkeverteilung 0123456789", a));
    ASSERT_TRUE(builtin.Measure(f, "Lichtstärkeverteilung 0123456789", b));
    EXPECT_NEAR(a.cx, b.cx, b.cx / 100 + 1) << weight;
    EXPECT_NEAR(a.cy, 126, 2);
  }
  // The painter device measures in logical units of its mapping.
  QImage img(400, 400, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&img);
  TQtPainterDevice dev(painter);
  Standalone(dev, img.size());
  TSimpleDC dc(dev, false);
  dc.Font().SetName("Arial");
  dc.Font().SetHeight(-300);
  TSize expected;
  LogFont f = dc.Font().Describe();
  builtin.Measure(f, "I ( cd/klm )", expected);
  EXPECT_NEAR(dc.TextWidth("I ( cd/klm )"), expected.cx, expected.cx / 50 + 10);
}

TEST(QtOutputTest, WritesPngSvgAndPdf) {
  test::TempDir dir;
  ASSERT_TRUE(SavePng(dir.file("p.png"), QSize(300, 200), Picture));
  const QImage png(QString::fromStdString(dir.file("p.png")));
  EXPECT_EQ(png.size(), QSize(300, 200));
  EXPECT_TRUE(IsColor(png, 150, 75, Qt::yellow));
  ASSERT_TRUE(SaveSvg(dir.file("p.svg"), QSize(400, 400), Picture));
  const std::string svg = test::readFile(dir.file("p.svg"));
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("C90"), std::string::npos);
  EXPECT_NE(svg.find("#ffff00"), std::string::npos);
  ASSERT_TRUE(SavePdf(dir.file("p.pdf"), QSize(400, 400), Picture));
  const std::string pdf = test::readFile(dir.file("p.pdf"));
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_GT(pdf.size(), 1000u);
}

TEST(QtOutputTest, ClipboardPictureHasMetafileSvgAndPng) {
  std::unique_ptr<QMimeData> mime(PictureMimeData([](TDevice& dc) {
    dc.SetMapMode(gdi::MM_ANISOTROPIC);
    dc.SetWindowExt(4000, 4000);
    TSimpleDC sdc(dc, true);
    sdc.Brush().SetBrush(gdi::BS_SOLID, 0, RGBColor(255, 255, 0));
    sdc.Rectangle(0, 0, 2000, 4000);
  }, 4000, 4000));
  const QByteArray wmf = mime->data("image/x-wmf");
  ASSERT_GT(wmf.size(), 22);
  EXPECT_EQ(static_cast<unsigned char>(wmf[0]), 0xD7);
  const QImage png = qvariant_cast<QImage>(mime->imageData());
  EXPECT_EQ(png.size(), QSize(768, 768));
  EXPECT_TRUE(IsColor(png, 100, 384, Qt::yellow));
  EXPECT_TRUE(IsColor(png, 600, 384, Qt::white));
  EXPECT_TRUE(mime->data("image/svg+xml").contains("<svg"));
}

// A curve of 720 points, solid and dashed, stays a few elements in the
// clipboard's SVG: a drawing of one curve was once close to a megabyte.
TEST(QtOutputTest, ClipboardSvgOfACurveIsSmall) {
  std::unique_ptr<QMimeData> mime(PictureMimeData([](TDevice& dc) {
    dc.SetMapMode(gdi::MM_ANISOTROPIC);
    dc.SetWindowExt(4000, 4000);
    TSimpleDC sdc(dc, true);
    std::vector<TPoint> curve;
    for (int i = 0; i < 720; ++i)
      curve.push_back({2000 + static_cast<int>(1500 * std::cos(i * M_PI / 360)),
                       2000 + static_cast<int>(1500 * std::sin(i * M_PI / 360))});
    sdc.Pen().SetWidth(14);
    sdc.DashedPolyline(curve.data(), static_cast<int>(curve.size()), 10000, 0);
    sdc.DashedPolyline(curve.data(), static_cast<int>(curve.size()), 70, 28);
  }, 4000, 4000));
  const QByteArray svg = mime->data("image/svg+xml");
  EXPECT_TRUE(svg.contains("<svg"));
  EXPECT_LT(svg.size(), 60000) << svg.size() << " bytes";
}

TEST(QtOutputTest, PrintToFileInTwips) {
  test::TempDir dir;
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  TQtPrintJob job(printer);
  ASSERT_TRUE(job.Begin(dir.file("job.pdf")));
  for (int page = 0; page < 2; ++page) {
    if (page) {
      ASSERT_TRUE(job.NewPage());
    }
    const TRect body = job.BeginTwipsPage();
    // Printable area of A4 (210 mm = 11906 twips) less the margins.
    EXPECT_GT(body.right, 10000);
    EXPECT_LT(body.right, 11906);
    EXPECT_EQ(body.left, job.Margins().left);
    {
      TSimpleDC dc(job.Device(), false);
      dc.FrameRect(body.left, body.top, body.right, body.top + 1440);
    }
    job.EndTwipsPage();
  }
  ASSERT_TRUE(job.End());
  EXPECT_EQ(test::readFile(dir.file("job.pdf")).substr(0, 5), "%PDF-");
}

// A PDF appears only complete: an abandoned job keeps the old file and leaves
// no temporary behind, and a directory that cannot be written fails at Begin.
TEST(QtOutputTest, PrintFileIsReplacedOnlyByACompleteJob) {
  test::TempDir dir;
  const std::string target = dir.file("sheet.pdf");
  { std::ofstream(target) << "old"; }
  QPrinter printer(QPrinter::HighResolution);
  {
    TQtPrintJob job(printer);
    ASSERT_TRUE(job.Begin(target));
    job.BeginTwipsPage();
    job.EndTwipsPage();
    EXPECT_EQ(test::readFile(target), "old");
  }  // abandoned
  EXPECT_EQ(test::readFile(target), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);

  TQtPrintJob job(printer);
  EXPECT_FALSE(job.Begin(dir.file("missing/sheet.pdf")));
  EXPECT_FALSE(job.End());
  ASSERT_TRUE(job.Begin(target, QPageLayout::Landscape));
  EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
  job.BeginTwipsPage();
  job.EndTwipsPage();
  ASSERT_TRUE(job.End());
  EXPECT_EQ(test::readFile(target).substr(0, 5), "%PDF-");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

TEST(TDrwWinTest, PaintsInDrawingUnitsAndMapsTheMouse) {
  TDrwWin win;
  win.setMargin(0);
  win.resize(400, 200);
  win.SetDrawingSize(4000, 4000);
  TPoint clicked{-1, -1};
  int paints = 0;
  win.OnPaint = [&](TDevice& dc) {
    ++paints;
    TSimpleDC sdc(dc, false);
    sdc.Brush().SetBrush(gdi::BS_SOLID, 0, 0);
    sdc.Rectangle(0, 0, 4000, 4000);
  };
  win.OnMouseDown = [&](TPoint p, Qt::MouseButton) { clicked = p; };
  int key = 0;
  win.OnKeyDown = [&](int k, Qt::KeyboardModifiers) { key = k; };
  const QImage shot = win.grab().toImage();
  EXPECT_GT(paints, 0);
  // A square drawing in a wide window: centred horizontally, full height.
  EXPECT_EQ(win.Layout().Offset(), (TPoint{100, 0}));
  EXPECT_TRUE(IsColor(shot, 200, 100, Qt::black));
  EXPECT_FALSE(IsColor(shot, 50, 100, Qt::black));
  QTest::mouseClick(&win, Qt::LeftButton, {}, QPoint(150, 50));
  EXPECT_EQ(clicked, (TPoint{1000, 1000}));
  QTest::keyClick(&win, Qt::Key_Left);
  EXPECT_EQ(key, Qt::Key_Left);
}

}  // namespace
}  // namespace kandelo
