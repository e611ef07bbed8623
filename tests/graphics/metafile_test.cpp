#include "graphics/metafile.h"

#include <gtest/gtest.h>

#include "frame/strutil.h"
#include "graphics/simpledc.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

struct WmfRecord {
  std::uint16_t function;
  std::vector<unsigned char> params;
  std::int16_t Word(std::size_t i) const { return static_cast<std::int16_t>(GetU16(&params.at(2 * i))); }
};

// Walks the records of the metafile bits (after the placeable header), checking
// the sizes in the metafile header as it goes.
std::vector<WmfRecord> ParseWmf(const std::vector<unsigned char>& bits) {
  std::vector<WmfRecord> out;
  EXPECT_GE(bits.size(), 18u);
  if (bits.size() < 18) return out;
  EXPECT_EQ(GetU16(&bits[0]), 1);
  EXPECT_EQ(GetU16(&bits[2]), 9);
  EXPECT_EQ(GetU16(&bits[4]), 0x300);
  EXPECT_EQ(GetU32(&bits[6]) * 2, bits.size());
  std::uint32_t maxWords = 0;
  std::size_t at = 18;
  while (at + 6 <= bits.size()) {
    const std::uint32_t words = GetU32(&bits[at]);
    EXPECT_GE(words, 3u);
    EXPECT_LE(at + 2 * words, bits.size());
    if (words < 3 || at + 2 * words > bits.size()) break;
    maxWords = std::max(maxWords, words);
    WmfRecord r{GetU16(&bits[at + 4]), {bits.begin() + at + 6, bits.begin() + at + 2 * words}};
    out.push_back(r);
    at += 2 * words;
    if (r.function == wmf::META_EOF) break;
  }
  EXPECT_EQ(at, bits.size());
  EXPECT_EQ(GetU32(&bits[12]), maxWords);
  return out;
}

std::vector<std::uint16_t> Functions(const std::vector<WmfRecord>& records) {
  std::vector<std::uint16_t> out;
  for (const auto& r : records) out.push_back(r.function);
  return out;
}

TEST(TxMetaFileTest, PlaceableHeaderBytes) {
  const auto h = wmf::PlaceableHeader(4000, 4000, 1000);
  const std::array<unsigned char, 22> expected = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 0xA0, 0x0F,
                                                  0xA0, 0x0F, 0xE8, 0x03, 0, 0, 0, 0, 0xF9, 0x54};
  EXPECT_EQ(h, expected);
  for (auto [w, hh] : {std::pair{4000, 4000}, {6500, 5851}, {7509, 4000}, {0, 0}}) {
    const auto bytes = wmf::PlaceableHeader(w, hh, 1000);
    std::uint16_t x = 0;
    for (int i = 0; i < 22; i += 2) x ^= GetU16(&bytes[i]);
    EXPECT_EQ(x, 0) << w << "x" << hh;
    EXPECT_EQ(GetU16(&bytes[10]), w);
    EXPECT_EQ(GetU16(&bytes[12]), hh);
  }
}

TEST(TxMetaFileTest, RecordsObjectsModesMappingAndPrimitives) {
  TxMetaFile mf;
  TDevice& dev = mf.BeginRecording();
  mf.width = mf.height = 4000;
  mf.unitsPerInch = 1000;
  {
    TSimpleDC dc(dev, true);
    dc.SetMapMode(gdi::MM_ANISOTROPIC);
    dc.SetWindowExt(4000, 4000);
    dc.SetWindowOrg(0, 0);
    dc.Pen().SetWidth(14);
    dc.Brush().SetBrush(gdi::BS_SOLID, 0, RGBColor(255, 255, 0));
    dc.Rectangle(400, 400, 3600, 3700);
    dc.Pen().SetWidth(0);  // replaces the 14 pen: its slot is freed and reused
    const TPoint tri[3] = {{0, 0}, {10, 0}, {10, 10}};
    dc.Polygon(tri, 3);
    dc.Polyline(tri, 3);
    dc.Line(1, 2, 3, 4);
    dc.Circle(100, 100, 50);
    dc.Pie(0, 0, 100, 100, 100, 50, 50, 0);
    dc.Font().SetName("Arial");
    dc.Font().SetHeight(126);
    dc.SetTextAlign(gdi::TA_CENTER, gdi::TA_BASELINE);
    dc.TextOut(2000, 300, "C22.5");
    dc.TextOutUtf8(10, 20, "\xCE\xB7 = 85 %");  // eta
  }
  const auto records = ParseWmf([&] {
    mf.EndRecording();
    return mf.Bits();
  }());
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.back().function, wmf::META_EOF);
  auto find = [&](std::uint16_t f, int nth = 0) -> const WmfRecord* {
    for (const auto& r : records)
      if (r.function == f && nth-- == 0) return &r;
    return nullptr;
  };
  const WmfRecord* ext = find(wmf::META_SETWINDOWEXT);
  ASSERT_TRUE(ext);
  EXPECT_EQ(ext->Word(0), 4000);  // y first
  const WmfRecord* pen = find(wmf::META_CREATEPENINDIRECT, 1);  // after the stock black pen
  ASSERT_TRUE(pen);
  EXPECT_EQ(pen->Word(1), 14);
  const WmfRecord* brush = find(wmf::META_CREATEBRUSHINDIRECT, 1);
  ASSERT_TRUE(brush);
  EXPECT_EQ(static_cast<std::uint16_t>(brush->Word(1)), 0xFFFF);  // red and green
  const WmfRecord* rect = find(wmf::META_RECTANGLE);
  ASSERT_TRUE(rect);
  EXPECT_EQ(rect->Word(0), 3700);
  EXPECT_EQ(rect->Word(3), 400);
  const WmfRecord* poly = find(wmf::META_POLYGON);
  ASSERT_TRUE(poly);
  EXPECT_EQ(poly->Word(0), 3);
  EXPECT_EQ(poly->Word(3), 10);  // second point (10, 0)
  EXPECT_EQ(poly->Word(4), 0);
  const WmfRecord* pie = find(wmf::META_PIE);
  ASSERT_TRUE(pie);
  EXPECT_EQ(pie->Word(6), 0);
  const WmfRecord* text = find(wmf::META_TEXTOUT);
  ASSERT_TRUE(text);
  EXPECT_EQ(text->Word(0), 5);
  EXPECT_EQ(std::string(text->params.begin() + 2, text->params.begin() + 7), "C22.5");
  EXPECT_EQ(text->Word(4), 300);
  EXPECT_EQ(text->Word(5), 2000);
  const WmfRecord* greek = find(wmf::META_TEXTOUT, 1);
  ASSERT_TRUE(greek);
  EXPECT_EQ(std::string(greek->params.begin() + 2, greek->params.begin() + 10), "h = 85 %");
  const WmfRecord* symbol = nullptr;
  for (const auto& r : records)
    if (r.function == wmf::META_CREATEFONTINDIRECT && r.params[13] == gdi::SYMBOL_CHARSET) symbol = &r;
  ASSERT_TRUE(symbol);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&symbol->params[18])), "Symbol");
  EXPECT_EQ(symbol->params[13], gdi::SYMBOL_CHARSET);
  // Every created object is deleted again, except the stock ones selected at the end.
  int creates = 0, deletes = 0;
  for (auto f : Functions(records)) {
    creates += f == wmf::META_CREATEPENINDIRECT || f == wmf::META_CREATEBRUSHINDIRECT || f == wmf::META_CREATEFONTINDIRECT;
    deletes += f == wmf::META_DELETEOBJECT;
  }
  EXPECT_EQ(creates - deletes, 3);  // stock pen, null brush and system font stay
  // Slots are reused: three stock objects, three tools and one being replaced.
  const auto all = mf.PlaceableBytes();
  EXPECT_EQ(GetU16(&all[22 + 10]), 7);
}

TEST(TxMetaFileTest, SaveToFileFinishesTheRecordingAndRepeats) {
  test::TempDir dir;
  TxMetaFile mf;
  mf.width = 4000;
  mf.height = 3000;
  mf.unitsPerInch = 1000;
  {
    TSimpleDC dc(mf.BeginRecording(), true);
    dc.Line(0, 0, 4000, 3000);
  }
  EXPECT_TRUE(mf.Recording());
  ASSERT_TRUE(mf.SaveToFile(dir.file("a.wmf")));
  EXPECT_FALSE(mf.Recording());
  ASSERT_TRUE(mf.SaveToFile(dir.file("b.wmf")));
  const std::string a = test::readFile(dir.file("a.wmf"));
  EXPECT_EQ(a, test::readFile(dir.file("b.wmf")));
  ASSERT_GT(a.size(), 22u);
  const auto header = wmf::PlaceableHeader(4000, 3000, 1000);
  EXPECT_EQ(a.substr(0, 22), std::string(header.begin(), header.end()));
  EXPECT_EQ(a.size(), 22 + mf.Bits().size());
  EXPECT_FALSE(mf.SaveToFile(dir.file("missing/dir/c.wmf")));
}

TEST(TxMetaFileTest, CoordinatesAreClampedTo16BitsAndStatesCountBack) {
  TxMetaFile mf;
  TDevice& dev = mf.BeginRecording();
  dev.MoveTo(100000, -100000);
  dev.LineTo(5, 6);
  const int first = dev.SaveDC();
  dev.SaveDC();
  dev.SaveDC();
  dev.RestoreDC(first);  // three states back
  mf.EndRecording();
  const auto records = ParseWmf(mf.Bits());
  ASSERT_EQ(records.size(), 7u);
  EXPECT_EQ(records[5].function, wmf::META_RESTOREDC);
  EXPECT_EQ(records[5].Word(0), -3);
  EXPECT_EQ(records[0].function, wmf::META_MOVETO);
  EXPECT_EQ(records[0].Word(0), -32768);
  EXPECT_EQ(records[0].Word(1), 32767);
  EXPECT_EQ(records[1].function, wmf::META_LINETO);
}

}  // namespace
}  // namespace kandelo
