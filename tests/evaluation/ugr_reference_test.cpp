// The UGR table against published tables of real luminaires (corpus:
// eulumdat-ugr, tables of two planning programs and of the CIE 190 example),
// and the choice of how the reflectance correction reads the NB record.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "evaluation/tm5.h"
#include "evaluation/ugr.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

std::vector<double> ReadTable(const std::string& path) {
  std::ifstream f(path);
  std::vector<double> v;
  std::string line;
  while (std::getline(f, line)) {
    std::stringstream ss(line);
    std::string cell;
    while (std::getline(ss, cell, ',')) {
      try {
        v.push_back(std::stod(cell));
      } catch (...) {
        v.push_back(NAN);
      }
    }
  }
  return v;
}

struct Deviation {
  double mean = 0, max = 0;
  int n = 0;
};

// Our table (flux corrected) against a 19 × 10 reference (5 crosswise, 5 endwise).
void Compare(const UgrResultSet& r, double corr, const std::vector<double>& ref, Deviation& d) {
  for (int row = 0; row < 19; ++row)
    for (int c = 0; c < 10; ++c) {
      double want = ref[std::size_t(row * 10 + c)];
      if (std::isnan(want)) continue;
      double got = (c < 5 ? r.table[std::size_t(5 * row + c)] : r.table[std::size_t(95 + 5 * row + c - 5)]) + corr;
      double e = std::fabs(got - want);
      d.mean += e;
      d.max = std::max(d.max, e);
      ++d.n;
    }
}

TEST(UgrReference, ReadingOfTheNbRecordChosenByPublishedTables) {
  if (!test::corpusAvailable()) GTEST_SKIP() << "corpus not available";
  Deviation printed, bracketed;
  int files = 0;
  for (int s = 1; s <= 11; ++s) {
    char name[64];
    std::snprintf(name, sizeof name, "eulumdat-ugr/data/input/sample_%02d.ldt", s);
    TLUM32 lum;
    if (!LoadLuminaire(test::corpusPath(name), lum, LoadValues::AsRead).ok()) continue;
    lum.CalcFlux();
    TM5OBJ tm5;
    tm5.SetLuminaire(&lum);
    NbRecord nb;
    tm5.ExportNb(nb);
    for (const char* prog : {"Dialux", "Relux", "cie190"}) {
      std::snprintf(name, sizeof name, "eulumdat-ugr/data/reference/ugr_table_%02d_%s.csv", s, prog);
      auto ref = ReadTable(test::corpusPath(name));
      if (ref.size() != 190) continue;
      double corr = UgrFluxCorrection(lum);
      ASSERT_TRUE(ComputeUgr(lum, nb, nullptr, NbReading::AsPrinted)) << name;
      Compare(UgrResults(), corr, ref, printed);
      ASSERT_TRUE(ComputeUgr(lum, nb, nullptr, NbReading::Bracketed)) << name;
      Compare(UgrResults(), corr, ref, bracketed);
      ++files;
    }
  }
  ASSERT_GT(files, 0);
  printed.mean /= printed.n;
  bracketed.mean /= bracketed.n;
  std::printf("  NB reading as printed: mean %.3f max %.3f; bracketed: mean %.3f max %.3f (%d tables)\n",
              printed.mean, printed.max, bracketed.mean, bracketed.max, files);
  const Deviation& inUse = kNbReadingInUse == NbReading::Bracketed ? bracketed : printed;
  const Deviation& other = kNbReadingInUse == NbReading::Bracketed ? printed : bracketed;
  EXPECT_LE(inUse.mean, other.mean);
  // The two planning programs differ from each other by 0.18 on average and
  // 0.8 at most on these tables; the tabular method with the bracketing
  // reading stays in that band (mean 0.105, largest 0.83 over 23 tables).
  EXPECT_LT(bracketed.mean, 0.15);
  EXPECT_LT(bracketed.max, 0.9);
}

// Per cell: each planning program's table within 0.5 in at least 95 % of the
// cells and never beyond 1.0; the CIE 190 example within 1.0 everywhere.
TEST(UgrReference, TablesAgreeCellByCellWithPublishedTables) {
  if (!test::corpusAvailable()) GTEST_SKIP() << "corpus not available";
  int cells = 0, within = 0, tables = 0;
  double worst = 0, worstCie = 0;
  for (int s = 1; s <= 11; ++s) {
    char name[64];
    std::snprintf(name, sizeof name, "eulumdat-ugr/data/input/sample_%02d.ldt", s);
    TLUM32 lum;
    ASSERT_TRUE(LoadLuminaire(test::corpusPath(name), lum, LoadValues::AsRead).ok()) << name;
    lum.CalcFlux();
    TM5OBJ tm5;
    tm5.SetLuminaire(&lum);
    NbRecord nb;
    tm5.ExportNb(nb);
    ASSERT_TRUE(ComputeUgr(lum, nb)) << name;
    const UgrResultSet& r = UgrResults();
    double corr = UgrFluxCorrection(lum);
    for (const char* prog : {"Dialux", "Relux", "cie190"}) {
      std::snprintf(name, sizeof name, "eulumdat-ugr/data/reference/ugr_table_%02d_%s.csv", s, prog);
      auto ref = ReadTable(test::corpusPath(name));
      if (ref.size() != 190) continue;
      bool cie = prog[0] == 'c';
      ++tables;
      for (int row = 0; row < 19; ++row)
        for (int c = 0; c < 10; ++c) {
          double want = ref[std::size_t(row * 10 + c)];
          if (std::isnan(want)) continue;
          double got = (c < 5 ? r.table[std::size_t(5 * row + c)] : r.table[std::size_t(95 + 5 * row + c - 5)]) + corr;
          double e = std::fabs(got - want);
          if (cie) {
            worstCie = std::max(worstCie, e);
            EXPECT_LE(e, 1.0) << name << " row " << row << " column " << c;
            continue;
          }
          ++cells;
          within += e <= 0.5 + 1e-9;
          worst = std::max(worst, e);
          EXPECT_LE(e, 1.0) << name << " row " << row << " column " << c;
        }
    }
  }
  ASSERT_EQ(tables, 23);
  std::printf("  planning programs: %d of %d cells within 0.5 (%.1f %%), largest %.2f; CIE 190 largest %.2f\n",
              within, cells, 100.0 * within / cells, worst, worstCie);
  EXPECT_GE(within, 0.95 * cells);
}

}  // namespace
}  // namespace kandelo
