#include <gtest/gtest.h>

#include "graphics/drwwin.h"
#include "graphics/printer_page.h"
#include "graphics/recording_device.h"

namespace kandelo {
namespace {

struct FitCase {
  const char* name;
  TSize client;
  int margin;
  TSize drawing;
  TPoint offset;
};

TEST(TDrwWinLayoutTest, CentresTheDrawingAtTheLargestScale) {
  const FitCase cases[] = {
      {"wide drawing: centred vertically", {500, 500}, 0, {2000, 1000}, {0, 125}},
      {"tall drawing: centred horizontally", {500, 500}, 0, {1000, 2000}, {125, 0}},
      {"same aspect", {410, 210}, 5, {4000, 2000}, {0, 0}},
      {"with margin", {510, 510}, 5, {2000, 1000}, {0, 125}},
  };
  for (const FitCase& c : cases) {
    SCOPED_TRACE(c.name);
    TDrwWinLayout win;
    win.SetMargin(c.margin);
    win.SetClientSize(c.client.cx, c.client.cy);
    win.SetDrawingSize(c.drawing.cx, c.drawing.cy);
    EXPECT_EQ(win.Offset(), c.offset);
    // The drawing's corners land inside the client area, touching two
    // opposite edges of the free area.
    TRecordingDevice dc;
    win.ApplyMapping(dc);
    TPoint corners[2] = {{0, 0}, {c.drawing.cx, c.drawing.cy}};
    dc.LPtoDP(corners, 2);
    EXPECT_EQ(corners[0], (TPoint{c.margin + c.offset.x, c.margin + c.offset.y}));
    EXPECT_EQ(corners[1].x + corners[0].x, c.client.cx);
    EXPECT_EQ(corners[1].y + corners[0].y, c.client.cy);
  }
}

TEST(TDrwWinLayoutTest, MousePositionsInLogicalUnits) {
  TDrwWinLayout win;
  win.SetClientSize(410, 410);
  win.SetDrawingSize(4000, 4000);
  EXPECT_EQ(win.ToLogical({5, 5}), (TPoint{0, 0}));
  EXPECT_EQ(win.ToLogical({405, 205}), (TPoint{4000, 2000}));
  EXPECT_FALSE(win.SetMargin(-1));
  EXPECT_FALSE(win.SetMargin(5));
  EXPECT_TRUE(win.SetMargin(0));
  EXPECT_EQ(win.Margin(), 0);
  // A window smaller than its margins still maps without dividing by zero.
  win.SetMargin(50);
  win.SetClientSize(20, 20);
  win.ToLogical({0, 0});
}

class FakePrinter : public TRecordingDevice {
 public:
  int dpi = 600, width = 4760, height = 6778, offsetX = 0, offsetY = 0;
  int GetDeviceCaps(int index) const override {
    switch (index) {
      case gdi::LOGPIXELSX:
      case gdi::LOGPIXELSY: return dpi;
      case gdi::HORZRES: return width;
      case gdi::VERTRES: return height;
      case gdi::PHYSICALOFFSETX: return offsetX;
      case gdi::PHYSICALOFFSETY: return offsetY;
      default: return 0;
    }
  }
};

TEST(PrinterPageTest, TwipsMappingAndMargins) {
  EXPECT_EQ(MmToTwips(25), 1417);
  EXPECT_EQ(MmToTwips(10), 567);
  EXPECT_EQ(MmToTwips(5), 283);
  FakePrinter printer;
  const TRect page = BeginTwipsPage(printer);
  EXPECT_EQ(page, (TRect{0, 0, 11424, 16267}));
  TPoint p[2] = {{1440, 1440}, {11424, 16267}};
  printer.LPtoDP(p, 2);
  EXPECT_EQ(p[0], (TPoint{600, 600}));
  EXPECT_EQ(p[1], (TPoint{4760, 6778}));
  EndTwipsPage(printer);
  EXPECT_EQ(printer.GetMapMode(), gdi::MM_TEXT);

  const TPageMargins none = PrintJobMargins(printer);
  EXPECT_EQ(ApplyPageMargins(page, none), (TRect{1417, 567, 11424 - 283, 16267}));
  printer.offsetX = 100;  // 1/6 inch = 240 twips already off the paper edge
  printer.offsetY = 50;
  const TPageMargins shifted = PrintJobMargins(printer);
  EXPECT_EQ(shifted.left, 1417 - 240);
  EXPECT_EQ(shifted.top, 567 - 120);
}

}  // namespace
}  // namespace kandelo
