// The embedded coefficient tables against the values the methods print and
// against the geometry they rest on.
#include <gtest/gtest.h>

#include <cmath>

#include "evaluation/coeff_tables.h"

namespace kandelo {
namespace {

CoeffTable Res(int n) {
  auto t = LoadCoeffTable(n);
  EXPECT_TRUE(t.has_value()) << "resource " << n;
  return t ? *t : CoeffTable();
}

TEST(CoeffTables, LayoutOfEveryResource) {
  const int dims[10][2] = {{0, 0}, {360, 5}, {32, 21}, {81, 9}, {9, 9}, {9, 9}, {9, 9}, {9, 2}, {45, 7}, {81, 3}};
  for (int n = 1; n <= 9; ++n) {
    CoeffTable t = Res(n);
    EXPECT_EQ(t.Rows(), unsigned(dims[n][0])) << n;
    EXPECT_EQ(t.Cols(), unsigned(dims[n][1])) << n;
  }
  auto shapes = LoadUgrShapes();
  ASSERT_TRUE(shapes);
  EXPECT_EQ(shapes->Rows(), 90u);
  EXPECT_EQ(shapes->Cols(), 6u);
}

TEST(CoeffTables, StreamReaderRejectsShortData) {
  std::string bytes("\x02\x00\x02\x00", 4);
  EXPECT_FALSE(CoeffTable::FromStream(bytes).has_value());
  bytes += std::string(16, '\0');
  auto t = CoeffTable::FromStream(bytes);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->At(5, 5), 0.0f);  // outside reads 0
  EXPECT_EQ(t->At(-1, 0), 0.0f);
}

// Printed rows are stored as printed (exactly, up to single precision).
void ExpectRow(const CoeffTable& t, int row, int firstCol, std::initializer_list<double> values) {
  int c = firstCol;
  for (double v : values) {
    EXPECT_FLOAT_EQ(t.At(row, c), float(v)) << "row " << row << " col " << c;
    ++c;
  }
}

TEST(CoeffTables, LitgTellingRows) {
  CoeffTable t = Res(1);
  auto col1 = [&](int row0, std::initializer_list<double> v) {
    int r = row0;
    for (double x : v) EXPECT_NEAR(t.At(r++, 0), x, 1e-6) << r - 1;
  };
  col1(0, {1, 1, 1, 0.963, 0.795, 0.515, 0.278, 0.219, 0.179, 0.147, 0.041, 0, 0, 0, 0, 0, 0, 0});
  col1(18, {0, 0, 0, 0, 0.092, 0.17, 0.214, 0.27, 0.417, 0.74, 0.832, 0.976, 1, 1, 1, 1, 1, 1});
  col1(108, {1, 1, 1, 1, 0.98, 0.826, 0.656, 0.591, 0.551, 0.521, 0.45, 0.334, 0.188, 0.083, 0.016, 0, 0, 0});
  col1(324, {1, 1, 1, 1, 1, 0.986, 0.93, 0.899, 0.881, 0.868, 0.857, 0.823, 0.763, 0.721, 0.627, 0.485, 0.203,
             0.002});
  ExpectRow(t, 0, 1, {0.1739, 0.1611, 0.1507, 0.1287});
  ExpectRow(t, 5, 1, {0.0325, 0.0303, 0.0285, 0.0245});
  ExpectRow(t, 359, 1, {0.2699, 0.2305, 0.2044, 0.1593});
  for (int z = 7; z <= 18; ++z)
    for (int c = 1; c < 5; ++c) EXPECT_EQ(t.At(z - 1, c), 0.0f);
}

// Shares are shares: 0 … 1 in column 1; the linear columns never exceed the
// share of a ray bundle that lands everywhere, 2·(π/36)·∫cosⁿ⁺¹.
TEST(CoeffTables, LitgFactorsStayInTheirPhysicalRange) {
  CoeffTable t = Res(1);
  const double full[4] = {0.2742, 0.2327, 0.2056, 0.1596};
  for (int r = 0; r < 360; ++r) {
    EXPECT_GE(t.At(r, 0), 0.0f);
    EXPECT_LE(t.At(r, 0), 1.0f);
    for (int c = 1; c < 5; ++c) EXPECT_LE(t.At(r, c), full[c - 1] + 1e-4) << r;
  }
}

// Direct ratios stored in three manufacturer EULUMDAT files that were made
// with the same LiTG table. The files give 5 decimals and their zonal fluxes
// are re-integrated here with 2 decimals, so 5e-4 is the agreement the
// generator reaches (largest deviation 4e-4, at k 1.5 of the RZB file).
TEST(CoeffTables, LitgReproducesDirectRatiosOfManufacturerFiles) {
  CoeffTable t = Res(1);
  struct File { double z[18]; double dr[10]; };
  const File files[] = {
      {{84.61, 192.59, 198.78, 167.23, 135.52, 111.69, 75.13, 17.00, 5.91, 3.86, 2.44, 1.65, 1.26, 1.00, 0.76, 0.49, 0.27, 0.12},
       {0.82836, 0.85144, 0.88723, 0.93457, 0.94325, 0.96514, 0.97249, 0.98303, 0.98254, 0.98816}},
      {{42.57, 117.46, 159.12, 156.08, 128.61, 108.10, 103.04, 92.67, 48.73, 13.60, 7.39, 6.00, 4.73, 3.66, 3.03, 2.74, 2.22, 1.08},
       {0.68667, 0.74372, 0.79177, 0.85267, 0.87564, 0.90744, 0.92765, 0.94734, 0.95337, 0.96469}},
      {{5.43, 16.20, 26.67, 36.52, 45.44, 53.13, 59.36, 63.91, 66.63, 67.44, 66.30, 63.23, 58.36, 51.89, 44.16, 35.73, 27.61, 21.40},
       {0.20202, 0.26900, 0.32290, 0.38874, 0.43476, 0.49507, 0.54486, 0.58524, 0.62290, 0.65402}}};
  for (const File& f : files) {
    auto direct = [&](int i) {
      double s = 0;
      for (int z = 0; z < 18; ++z) s += t.At(36 * i + z, 0) * f.z[z];
      return s;
    };
    double ref = direct(9) / f.dr[9];  // one file states DR against the total flux
    for (int i = 0; i < 10; ++i) EXPECT_NEAR(direct(i) / ref, f.dr[i], 5e-4) << "k index " << i;
  }
}

TEST(CoeffTables, PositionIndexTableAsPublished) {
  CoeffTable t = Res(2);
  EXPECT_EQ(t.At(0, 0), 0.0f);
  EXPECT_NEAR(t.At(0, 20), 1.9, 1e-6);
  EXPECT_NEAR(t.At(31, 0), 3.0, 1e-6);
  ExpectRow(t, 1, 1, {100, 126, 153, 190, 235, 286, 350});
  EXPECT_EQ(t.At(28, 7), 750.0f);  // T/R 2.7, H/R 0.6 as printed
  EXPECT_EQ(t.At(1, 19), 0.0f);    // above the field of view
  EXPECT_EQ(t.At(9, 20), 0.0f);
}

TEST(CoeffTables, Tm5TellingRows) {
  CoeffTable zm = Res(3);
  ExpectRow(zm, 0, 0, {1, 0.831, 0.605, 0.505, 0.281, 0.076, 0, 0, 0});
  ExpectRow(zm, 8, 0, {1, 0.975, 0.937, 0.918, 0.874, 0.824, 0.738, 0.555, 0.102});
  for (int c = 0; c < 9; ++c) {
    EXPECT_EQ(zm.At(72, c), 5.0f);
    EXPECT_EQ(zm.At(73, c), 5.0f);
  }
  for (int r = 0; r < 81; ++r) {
    if (r == 72 || r == 73) continue;
    for (int c = 0; c < 9; ++c) EXPECT_LE(zm.At(r, c), 1.0f) << r;
  }
  CoeffTable tf = Res(9);
  ExpectRow(tf, 0, 0, {1.055, 0.237, 0.349});
  ExpectRow(tf, 8, 0, {1.132, 0.426, 0.707});
  ExpectRow(tf, 80, 0, {1.045, 0.057, 0.262});
  CoeffTable w = Res(8);
  ExpectRow(w, 0, 0, {1.233, 1.227, 1.22, 1.209, 1.197, 1.191, 1.28});
  ExpectRow(w, 1, 0, {1.906, 1.911, 1.912, 1.909, 1.91, 1.911, 1.882});
  ExpectRow(w, 2, 0, {1, 1, 1, 1, 1, 1, 1});
  ExpectRow(Res(4), 0, 0, {0.577, 0.517, 0.462, 0.422, 0.367, 0.297, 0.253, 0.204, 0.154});
  ExpectRow(Res(4), 8, 0, {0.924, 0.905, 0.884, 0.858, 0.804, 0.74, 0.7, 0.665, 0.633});
  ExpectRow(Res(7), 8, 0, {75.1, 51.3});
}

// Boundary 1 of the BZ limits is the mean of the direct ratios of I₀cos⁴γ and
// I₀cos³γ with the SHR 1.0 multipliers. At room indices with whole arrays the
// model meets the printed limit to 1e-3; at 0.75 and 1.25 (1.5 and 2.5
// luminaires per side) the interpolated multipliers miss by 0.0075 and 0.0018.
TEST(CoeffTables, ZonalMultipliersReproduceBzBoundaryOne) {
  CoeffTable zm = Res(3), bz = Res(4);
  for (int i = 0; i < 9; ++i) {
    double dr[2];
    for (int p = 0; p < 2; ++p) {
      double direct = 0, down = 0;
      for (int z = 0; z < 9; ++z) {
        double f = 0;
        for (int k = 0; k < 100; ++k) {
          double g1 = (10.0 * z + 0.1 * k) * M_PI / 180, g2 = (10.0 * z + 0.1 * (k + 1)) * M_PI / 180;
          f += std::pow(std::cos((g1 + g2) / 2), p == 0 ? 4 : 3) * (std::cos(g1) - std::cos(g2));
        }
        direct += zm.At(18 + i, z) * f;
        down += f;
      }
      dr[p] = direct / down;
    }
    bool wholeArray = i != 0 && i != 2;
    EXPECT_NEAR((dr[0] + dr[1]) / 2, bz.At(i, 0), wholeArray ? 1e-3 : 0.008) << "room index " << i;
  }
}

// The uniformity terms are square-array geometry: angle atan(distance/h),
// weight multiplicity·cos³. Four printed entries differ from it and are kept.
TEST(CoeffTables, UniformityAnglesFollowArrayGeometryExceptFourPrintedEntries) {
  CoeffTable ang = Res(5), w = Res(6);
  const double shr[9] = {0.5, 0.75, 1, 1.25, 1.5, 1.75, 2, 2.25, 2.5};
  const double dist[9] = {std::sqrt(2) / 2, std::sqrt(10) / 2, 1.5 * std::sqrt(2), 0, 1, std::sqrt(2), 2,
                          std::sqrt(5), 2 * std::sqrt(2)};
  const int mult[9] = {4, 8, 4, 1, 4, 4, 2, 4, 1};
  int angleDiffs = 0, weightDiffs = 0;
  for (int i = 0; i < 9; ++i)
    for (int j = 0; j < 9; ++j) {
      double a = std::atan(dist[j] * shr[i]) * 180 / M_PI;
      if (std::fabs(ang.At(i, j) - a) > 0.051) ++angleDiffs;
      double wt = mult[j] * std::pow(std::cos(a * M_PI / 180), 3);
      if (std::fabs(w.At(i, j) - wt) > 0.0015) ++weightDiffs;
    }
  EXPECT_EQ(angleDiffs, 3);   // 38.8 (38.3), 77.4 (80.0), 79.7 (79.9)
  EXPECT_EQ(weightDiffs, 1);  // 2.578 (2.758)
}

TEST(CoeffTables, UgrReferenceShapes) {
  auto s = LoadUgrShapes();
  ASSERT_TRUE(s);
  for (int a = 0; a < 15; ++a) EXPECT_NEAR(s->At(6 * a + 5, 5), 20.0, 1e-6) << a;
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_NEAR(s->At(y, x), 20.0, 1e-6);
  for (int n = 1; n <= 12; ++n) EXPECT_NEAR(s->At(6 * n, 0), 20.0 - n, 1e-5) << n;
  ExpectRow(*s, 72, 0, {8.0, 8.9, 9.6, 10.1, 10.2, 10.2});
  ExpectRow(*s, 78, 0, {11.9, 13.0, 13.6, 14.1, 14.3, 14.4});
  ExpectRow(*s, 84, 0, {12.7, 13.6, 14.1, 14.5, 14.6, 14.7});
  // Glare grows with the room: every shape rises along Y.
  for (int a = 1; a < 15; ++a)
    for (int x = 0; x < 6; ++x)
      for (int y = 1; y < 6; ++y) EXPECT_GE(s->At(6 * a + y, x) + 0.05, s->At(6 * a + y - 1, x)) << a;
}

}  // namespace
}  // namespace kandelo
