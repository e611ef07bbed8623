// The printed catalogue list: pages of 30 entries, two rows for an entry with
// a text line, the footer's page count, and where each text goes.
#include "datasheet/list_print.h"

#include <gtest/gtest.h>

#include "graphics/recording_device.h"

namespace kandelo {
namespace {

// A landscape page at 120 dots per inch: q = 10 dots, W = 1300 dots.
class PageDevice : public TRecordingDevice {
 public:
  int GetDeviceCaps(int index) const override {
    switch (index) {
      case gdi::LOGPIXELSY: return 120;
      case gdi::HORZRES: return 1300;
      case gdi::VERTRES: return 990;
      default: return TRecordingDevice::GetDeviceCaps(index);
    }
  }
};

std::vector<TListEntry> Entries(int n, int withInfoEvery = 0) {
  std::vector<TListEntry> out;
  for (int i = 1; i <= n; ++i) {
    TListEntry e{"Maker", "Lum " + std::to_string(i), "N" + std::to_string(i), "F.LDT", "EULUM-DAT", ""};
    if (withInfoEvery > 0 && i % withInfoEvery == 0) e.info = "info " + std::to_string(i);
    out.push_back(e);
  }
  return out;
}

TEST(ListPrint, PagesHoldThirtyEntriesOrThirtySixRows) {
  struct Case {
    int entries, infoEvery;
    std::vector<std::size_t> pages;
  };
  const Case cases[] = {
      {0, 0, {}},
      {30, 0, {30}},
      {31, 0, {30, 1}},
      {61, 0, {30, 30, 1}},
      // every entry two rows: 18 entries fill the 36 rows of a page
      {20, 1, {18, 2}},
      // every second one: 24 entries take 36 rows
      {30, 2, {24, 6}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PaginateList(Entries(c.entries, c.infoEvery)), c.pages) << c.entries << "/" << c.infoEvery;
}

TEST(ListPrint, DrawsHeaderRowsInfoLinesAndFooters) {
  PageDevice dc;
  int newPages = 0;
  auto entries = Entries(31);
  entries[1].info = "IP65";
  entries[2].fileName = "Downlight 2000 lm with a long file name.ldt";
  TListTexts texts;
  ASSERT_EQ(DrawList(dc, entries, texts, [&] { return ++newPages, true; }), 2);
  EXPECT_EQ(newPages, 1);
  const int q = 10;
  // Columns at 0.02 W, then +0.18 W three times and +0.08 W.
  const TDrawOp* head = dc.FindText("Leuchtentyp");
  ASSERT_TRUE(head);
  EXPECT_EQ(head->points[0], (TPoint{26 + 234, 10 * q}));
  EXPECT_EQ(dc.FindText("Format")->points[0].x, 26 + 3 * 234 + 104);
  EXPECT_EQ(head->font.height, q);
  EXPECT_EQ(head->font.faceName, "Arial");
  EXPECT_EQ(dc.FindText("Lum 1")->points[0], (TPoint{260, 14 * q}));
  // The text line goes 1.5 q under the name, and its entry takes two rows.
  EXPECT_EQ(dc.FindText("IP65")->points[0], (TPoint{260, 16 * q + 15}));
  EXPECT_EQ(dc.FindText("Lum 3")->points[0].y, 20 * q);
  // A long file name is cut to its column (0.08 W less half a q).
  const TDrawOp* file = nullptr;
  for (const TDrawOp& op : dc.ops)
    if (op.kind == TDrawOp::Text && op.points[0] == TPoint{26 + 3 * 234, 20 * q}) file = &op;
  ASSERT_TRUE(file);
  EXPECT_EQ(std::string("Downlight 2000 lm with a long file name.ldt").rfind(file->text, 0), 0u);
  EXPECT_GT(file->text.size(), 3u);
  EXPECT_LT(file->text.size(), 30u);
  // 29 entries after the two-row one: the last row of page 1 is at 14 q + 30 × 2 q.
  const TDrawOp* footer1 = dc.FindText("Seite 1 / 2");
  ASSERT_TRUE(footer1);
  EXPECT_EQ(footer1->points[0], (TPoint{26, 76 * q}));
  // The last page's footer stands at 86 q.
  const TDrawOp* footer2 = dc.FindText("Seite 2 / 2");
  ASSERT_TRUE(footer2);
  EXPECT_EQ(footer2->points[0].y, 86 * q);
  EXPECT_EQ(dc.FindText("Lum 31")->points[0].y, 14 * q);
}

TEST(ListPrint, AFailedNewPageStopsTheList) {
  PageDevice dc;
  EXPECT_EQ(DrawList(dc, Entries(65), {}, [] { return false; }), 1);
  EXPECT_FALSE(dc.FindText("Lum 31"));
}

}  // namespace
}  // namespace kandelo
