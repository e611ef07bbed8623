#include <gtest/gtest.h>

#include <cstdlib>

#include "diagram_fixtures.h"
#include "evaluation/intensity_diagram.h"
#include "frame/strutil.h"
#include "graphics/metafile.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

TEST(DiagramMetafileTest, PlaceableMetafileOfBothDiagrams) {
  test::TempDir dir;
  const TLUM32 lum = test::DirectIndirect();
  for (TLvkKind kind : {TLvkKind::Polar, TLvkKind::Cartesian}) {
    TLvkOptions o;
    o.kind = kind;
    o.planes = {0, 90};
    const std::string path = dir.file(kind == TLvkKind::Polar ? "polar.wmf" : "cartesian.wmf");
    ASSERT_TRUE(SaveLVKMetafile(lum, o, path));
    const std::string bytes = test::readFile(path);
    ASSERT_GT(bytes.size(), 22u + 18u);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::uint16_t x = 0;
    for (int i = 0; i < 22; i += 2) x ^= GetU16(p + i);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(GetU32(p), wmf::kPlaceableKey);
    EXPECT_EQ(GetU16(p + 10), kLvkPictureSize);
    EXPECT_EQ(GetU16(p + 14), 1000);
    EXPECT_EQ(GetU32(p + 22 + 6) * 2, bytes.size() - 22);
    // The last record is the end record.
    EXPECT_EQ(GetU32(p + bytes.size() - 6), 3u);
    EXPECT_EQ(GetU16(p + bytes.size() - 2), wmf::META_EOF);
    // An independent reader takes it, when one is installed.
    if (std::system("command -v wmf2svg > /dev/null 2>&1") == 0) {
      const std::string svg = path + ".svg";
      EXPECT_EQ(std::system(("wmf2svg -o '" + svg + "' '" + path + "' 2> /dev/null").c_str()), 0);
      const std::string out = test::readFile(svg);
      EXPECT_NE(out.find("<polygon"), std::string::npos);
      EXPECT_NE(out.find("C90"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace kandelo
