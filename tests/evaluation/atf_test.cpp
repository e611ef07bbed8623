// The transfer store: 80-bit file form, view factors, form-factor matrices,
// the inversion and the cache file "EXCPW.DAT".
#include <gtest/gtest.h>

#include <cmath>

#include "evaluation/atf.h"
#include "evaluation/coeff_tables.h"
#include "evaluation/ext_array.h"
#include "platform/fileio.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

TEST(ExtendedReal, KnownBitPatternsAndRoundTrip) {
  auto one = EncodeExtended(1.0L);
  const unsigned char expectOne[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xff, 0x3f};
  EXPECT_TRUE(std::equal(one.begin(), one.end(), expectOne));
  auto minusTwo = EncodeExtended(-2.0L);
  EXPECT_EQ(minusTwo[9], 0xc0);
  EXPECT_EQ(minusTwo[8], 0x00);
  for (long double v : {0.0L, 1.0L / 3, -123456.789L, 1e-300L, 6.02e23L, 15.0L}) {
    auto b = EncodeExtended(v);
    EXPECT_EQ(DecodeExtended(b.data()), v);
  }
  auto inf = EncodeExtended(std::numeric_limits<long double>::infinity());
  EXPECT_TRUE(std::isinf(DecodeExtended(inf.data())));
}

TEST(ExtArray, SetItemChecksColumnFirst) {
  TExtArray a(3, 2);
  a.SetItem(2, 1, 7);
  EXPECT_EQ(a.GetItem(2, 1), 7);
  EXPECT_EQ(a.GetItem(3, 0), 0);
  struct Case { int row, col; const char* text; };
  for (Case c : {Case{0, 2, "Col too large ! 2"}, Case{5, 9, "Col too large ! 9"}, Case{3, 0, "Row too large ! 3"}}) {
    try {
      a.SetItem(c.row, c.col, 1);
      ADD_FAILURE() << c.text;
    } catch (const EvaluationError& e) {
      EXPECT_STREQ(e.what(), c.text);
    }
  }
}

TEST(ExtArray, FileFormAndReadErrors) {
  test::TempDir dir;
  TExtArray a(316, 17);
  a.SetItem(0, 0, 15);
  a.SetItem(315, 16, -0.125L);
  a.SaveToFile(dir.file("EXCPW.DAT"));
  std::string bytes = test::readFile(dir.file("EXCPW.DAT"));
  ASSERT_EQ(bytes.size(), 53724u);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\x3c\x01\x11\x00", 4));
  TExtArray b(1, 1);
  b.LoadFromFile(dir.file("EXCPW.DAT"));
  EXPECT_EQ(b.Rows(), 316);
  EXPECT_EQ(b.GetItem(315, 16), -0.125L);

  auto expectError = [&](const std::string& file, const char* text) {
    try {
      b.LoadFromFile(file);
      ADD_FAILURE() << text;
    } catch (const EvaluationError& e) {
      EXPECT_STREQ(e.what(), text);
    }
  };
  expectError(dir.file("missing.DAT"), "File does not exist ");
  test::writeFile(dir.file("short.DAT"), bytes.substr(0, 1000));
  expectError(dir.file("short.DAT"), "out of memory ");
  test::writeFile(dir.file("head.DAT"), "\x01");
  expectError(dir.file("head.DAT"), "out of memory ");
  test::writeFile(dir.file("huge.DAT"), std::string("\xff\xff\xff\xff", 4) + std::string(100, '\0'));
  expectError(dir.file("huge.DAT"), "out of memory ");
  EXPECT_EQ(b.GetItem(315, 16), -0.125L);  // a failed load keeps the content
}

// An interrupted write leaves the previous file whole and reports the name.
TEST(ExtArray, InterruptedWriteKeepsThePreviousFile) {
  test::TempDir dir;
  const std::string name = dir.file("EXCPW.DAT");
  TExtArray a(2, 2);
  a.SetItem(1, 1, 42);
  a.SaveToFile(name);
  std::string before = test::readFile(name);
  TExtArray changed(2, 2);
  changed.SetItem(1, 1, 43);
  for (int mode = 0; mode < 2; ++mode) {
    platform::FaultInjectingFileSystem faulty;
    if (mode == 0) faulty.shortWriteAt = 1; else faulty.crashAfterWrites = 2;
    platform::ScopedFileSystem scope(faulty);
    try {
      changed.SaveToFile(name);
      ADD_FAILURE() << "write should fail";
    } catch (const EvaluationError& e) {
      EXPECT_EQ(std::string(e.what()), "error writing file " + name);
    }
  }
  EXPECT_EQ(test::readFile(name), before);
  try {
    a.SaveToFile(dir.file("no/such/dir/EXCPW.DAT"));
    ADD_FAILURE();
  } catch (const EvaluationError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("filerr : ", 0), 0u) << e.what();
  }
}

TEST(TransferStore, ViewFactorClosedForms) {
  // Unit squares one apart: 0.1998; large plates close together see each other.
  EXPECT_NEAR(double(ATFObject::ViewFactor(1, 1, 1)), 0.19982, 1e-5);
  EXPECT_NEAR(double(ATFObject::ViewFactor(1000, 1000, 1)), 1.0, 2e-3);
  EXPECT_LT(double(ATFObject::ViewFactor(0.01, 0.01, 1)), 1e-4);
  EXPECT_NEAR(double(ATFObject::ViewFactor(2, 3, 1)), double(ATFObject::ViewFactor(3, 2, 1)), 1e-15);
}

// Every surface sends all of its flux somewhere, and reciprocity holds for
// the walls (area·F symmetric).
TEST(TransferStore, FormFactorRowsSumToOne) {
  for (int i = 1; i <= 10; ++i)
    for (bool suspended : {false, true}) {
      Mat4 f = ATFObject::FormFactorMatrix(i, suspended);
      for (int r = 0; r < 4; ++r) {
        if (!suspended && r == 1) continue;
        long double s = f[r][0] + f[r][1] + f[r][2] + f[r][3];
        EXPECT_NEAR(double(s), 1.0, 1e-12) << i << " " << suspended << " row " << r;
      }
    }
}

TEST(TransferStore, InversionAndSingularMatrices) {
  Mat4 s{};
  s[0] = {4, 1, 0, 1};
  s[1] = {1, 5, 1, 0};
  s[2] = {0, 1, 6, 2};
  s[3] = {1, 0, 2, 7};
  auto inv = ATFObject::InvertSystem(s, true);
  ASSERT_TRUE(inv);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      long double p = 0;
      for (int k = 0; k < 4; ++k) p += s[r][k] * (*inv)[k][c];
      EXPECT_NEAR(double(p), r == c ? 1.0 : 0.0, 1e-15);
    }
  auto inv3 = ATFObject::InvertSystem(s, false);  // surfaces 1, 3, 4 only
  ASSERT_TRUE(inv3);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ((*inv3)[1][k], 0);
    EXPECT_EQ((*inv3)[k][1], 0);
  }
  Mat4 singular = s;
  singular[3] = {8, 2, 0, 2};  // twice row 1: last pivot becomes exactly 0
  singular[0] = {4, 1, 0, 1};
  EXPECT_FALSE(ATFObject::InvertSystem(singular, true));
  Mat4 zeroFirst = s;
  zeroFirst[0][0] = 0;  // no pivot search: a zero first pivot is singular too
  EXPECT_FALSE(ATFObject::InvertSystem(zeroFirst, true));
}

TEST(TransferStore, BuiltOnceThenReadBackIdentically) {
  test::TempDir dir;
  const std::string name = dir.file("EXCPW.DAT");
  ATFObject built(name);
  EXPECT_FALSE(built.LoadedFromFile());
  EXPECT_EQ(built.CombinationCount(), 15);
  auto refl = built.GetReflectances(11);
  EXPECT_EQ(refl[0], 80);
  EXPECT_EQ(refl[3], 10);
  built.Release();
  EXPECT_EQ(test::readFile(name).size(), 53724u);
  ATFObject read(name);
  EXPECT_TRUE(read.LoadedFromFile());
  for (int r = 0; r < kTransferRows; ++r)
    for (int c = 0; c < kTransferCols; ++c) ASSERT_EQ(read.Store().GetItem(r, c), built.Store().GetItem(r, c));

  // All reflectances 0: the direct flux alone reaches each surface.
  std::array<long double, 4> phi{100, 20, 300, 400};
  auto e = read.TransferFluxes(3, 15, phi, true);
  for (int s = 0; s < 4; ++s) EXPECT_NEAR(double(e[s]), double(phi[s]), 1e-12);
  auto surf = read.TransferFluxes(3, 15, phi, false);
  EXPECT_EQ(surf[1], 0);  // surface-mounted: no upper walls
  // Reflecting surfaces only add flux.
  auto lit = read.TransferFluxes(3, 1, phi, true);
  for (int s = 0; s < 4; ++s) EXPECT_GT(lit[s], phi[s]);
  // A store read from disk is not written back on release.
  ASSERT_TRUE(platform::fs().removeFile(name));
  read.Release();
  EXPECT_FALSE(platform::fs().exists(name));
}

TEST(TransferStore, DamagedCacheIsRebuilt) {
  test::TempDir dir;
  const std::string name = dir.file("EXCPW.DAT");
  test::writeFile(name, std::string("\x3c\x01\x11\x00", 4) + std::string(500, '\x7f'));
  ATFObject store(name);
  EXPECT_FALSE(store.LoadedFromFile());
  EXPECT_EQ(store.CombinationCount(), 15);
  store.Release();
  ATFObject again(name);
  EXPECT_TRUE(again.LoadedFromFile());
}

TEST(TransferStore, DefaultLocationIsThePerUserCache) {
  test::TempUserEnvironment env;
  std::string path = DefaultTransferStorePath();
  EXPECT_EQ(path, env.root() + "/cache/Kandelo/EXCPW.DAT");
  EXPECT_TRUE(platform::fs().isDirectory(env.root() + "/cache/Kandelo"));
}

}  // namespace
}  // namespace kandelo
