#include "evaluation/export_ugr.h"

#include <cmath>
#include <cstdio>

#include "photometry/lum32.h"
#include "photometry/numeric.h"

namespace kandelo {

namespace {

const int kRooms[19][2] = {{2, 2}, {2, 3}, {2, 4},  {2, 6},  {2, 8}, {2, 12}, {4, 2},
                           {4, 3}, {4, 4}, {4, 6},  {4, 8},  {4, 12}, {8, 4}, {8, 6},
                           {8, 8}, {8, 12}, {12, 4}, {12, 6}, {12, 8}};
const double kK[8] = {1.0, 1.25, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0};
const int kM[8][9] = {{1000, 1000, 912, 523, 417, 288, 18, 0, 0},   {1000, 1000, 930, 617, 521, 408, 129, 0, 0},
                      {1000, 1000, 941, 679, 593, 493, 244, 11, 0}, {1000, 1000, 956, 758, 688, 607, 401, 100, 0},
                      {1000, 1000, 965, 806, 747, 680, 506, 211, 0}, {1000, 1000, 971, 838, 787, 730, 580, 314, 5},
                      {1000, 1000, 978, 878, 839, 795, 677, 459, 47}, {1000, 1000, 982, 903, 870, 843, 738, 555, 101}};
const int kT[8][5][3] = {
    {{220, 422, 646}, {188, 217, 553}, {198, 381, 445}, {172, 198, 386}, {157, 181, 227}},
    {{194, 367, 555}, {169, 192, 484}, {173, 329, 382}, {153, 174, 337}, {138, 158, 198}},
    {{173, 324, 486}, {153, 172, 430}, {153, 290, 334}, {137, 156, 299}, {122, 140, 175}},
    {{142, 265, 389}, {129, 144, 351}, {125, 235, 267}, {114, 129, 244}, {100, 115, 142}},
    {{121, 224, 324}, {111, 123, 297}, {105, 198, 222}, {97, 110, 205}, {85, 98, 120}},
    {{105, 195, 277}, {97, 108, 257}, {91, 172, 190}, {85, 97, 178}, {73, 86, 103}},
    {{83, 155, 215}, {78, 88, 203}, {71, 137, 147}, {67, 78, 140}, {58, 69, 81}},
    {{68, 129, 176}, {65, 74, 168}, {58, 114, 121}, {56, 65, 115}, {48, 58, 67}}};
struct Pos { int c, g, w; };
// Rows 5 and 6 have 7 entries; the zeros behind them weigh nothing.
const Pos kP[6][11] = {
    {{184, 577, 42}, {113, 686, 53}, {81, 742, 47}, {63, 775, 40}, {52, 797, 34}, {44, 813, 28},
     {38, 824, 23}, {34, 833, 20}, {30, 840, 18}, {27, 846, 15}, {25, 850, 14}},
    {{450, 648, 19}, {310, 711, 32}, {232, 753, 35}, {184, 781, 32}, {153, 801, 28}, {130, 815, 25},
     {113, 826, 22}, {100, 834, 19}, {90, 841, 17}, {81, 846, 15}, {74, 851, 13}},
    {{590, 711, 8}, {450, 742, 16}, {355, 769, 21}, {291, 790, 22}, {244, 806, 21}, {210, 818, 20},
     {184, 828, 18}, {164, 836, 16}, {147, 842, 15}, {134, 847, 13}, {123, 851, 12}},
    {{668, 753, 4}, {545, 769, 8}, {450, 786, 12}, {379, 801, 14}, {325, 813, 15}, {283, 823, 15},
     {250, 831, 14}, {224, 838, 14}, {202, 844, 13}, {184, 848, 12}, {169, 852, 11}},
    {{716, 781, 3}, {609, 790, 5}, {521, 801, 7}, {450, 811, 9}, {393, 820, 11}, {347, 828, 11},
     {310, 835, 11}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
    {{747, 801, 2}, {656, 806, 3}, {575, 813, 5}, {507, 820, 6}, {450, 827, 7}, {402, 833, 8},
     {363, 839, 9}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}}};

std::string Fixed(double v, int decimals, int width = 0) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%*.*f", width, decimals, v);
  return buf;
}

}  // namespace

void ComputeExportUgr(TLUM32& lum) {
  lum.ExportUgr.fill(0);
  if (!lum.FluxValid) lum.CalcFlux();
  if (!lum.ZonesValid) lum.CalcZonalFlux();
  double e[8][5];
  for (int k = 0; k < 8; ++k) {
    double d = 0;
    for (int z = 0; z < 9; ++z) d += (lum.ZonalFlux[2 * z] + lum.ZonalFlux[2 * z + 1]) * kM[k][z] / 1000.0;
    double q1 = d / 1000, q2 = (lum.DownFlux - d) / 1000, q3 = lum.UpFlux / 1000;
    for (int c = 0; c < 5; ++c) e[k][c] = (kT[k][c][0] * q1 + kT[k][c][1] * q2 + kT[k][c][2] * q3) / 1000;
  }
  auto eAt = [&](int c, double x) {
    long rx = std::lround(100 * x);
    for (int a = 0; a < 8; ++a)
      if (rx < std::lround(100 * kK[a])) {
        if (a == 0) return e[0][c];
        return e[a - 1][c] + (e[a][c] - e[a - 1][c]) * (x - kK[a - 1]) / (kK[a] - kK[a - 1]);
      }
    return e[7][c];
  };
  for (int l = 0; l < 19; ++l) {
    int X = kRooms[l][0], Y = kRooms[l][1];
    double x = double(X) * Y / (X + Y);
    double sc = 0, se = 0;
    for (int f = 1; f <= X / 2; ++f)
      for (int n = 1; n <= Y - 1; ++n) {
        const Pos& p = kP[f - 1][n - 1];
        if (p.w == 0) continue;
        double c = p.c / 10.0, g = p.g / 10.0;
        double a = PowerOf(0.8, lum.ProjectedArea(g, c));
        sc += p.w * (PowerOf(1.6, lum.Intensity(g, c)) / a) / 1000;
        sc += p.w * (PowerOf(1.6, lum.Intensity(g, 360 - c)) / a) / 1000;
        double a2 = PowerOf(0.8, lum.ProjectedArea(g, c + 270));
        se += p.w * (PowerOf(1.6, lum.Intensity(g, c + 270)) / a2) / 1000;
        se += p.w * (PowerOf(1.6, lum.Intensity(g, 270 - c)) / a2) / 1000;
      }
    for (int c = 0; c < 5; ++c) {
      double b = eAt(c, x) * 125 * x;
      // No utilization (no downward flux): no background, no value.
      if (!(b > 0)) continue;
      lum.ExportUgr[std::size_t(5 * l + c)] = float(10 * Lg(sc / 2 / b));
      lum.ExportUgr[std::size_t(95 + 5 * l + c)] = float(10 * Lg(se / 2 / b));
    }
  }
}

std::vector<std::string> CibseExtensionLines(const TLUM32& lum) {
  std::vector<std::string> out;
  out.push_back("CIBSE/2");
  out.push_back(lum.LumName);
  out.push_back(lum.LumNumber);
  out.push_back(Fixed(lum.UpFlux / 1000.0, 3) + " " + Fixed(lum.DownFlux / 1000.0, 3) + " " +
                Fixed(lum.LOR / 100.0, 3));
  out.push_back(Fixed(lum.ShrNom, 3) + " " + Fixed(lum.ShrMax, 3));
  for (int r = 0; r < 10; ++r) {
    std::string line;
    for (int i = 0; i < 9; ++i) line += Fixed(lum.CibseUF[r][i] / 100.0, 2, 5);
    out.push_back(line);
  }
  std::string bz;
  for (int i = 0; i < 9; ++i) {
    std::uint8_t v = lum.CibseBz[i];
    if (v == 255) {
      bz += "N/A ";
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "%3d", int(v));
      bz += buf;
    }
  }
  out.push_back(bz);
  for (int block = 0; block < 2; ++block)
    for (int r = 0; r < 19; ++r) {
      std::string line;
      for (int c = 0; c < 5; ++c) line += Fixed(lum.ExportUgr[std::size_t(95 * block + 5 * r + c)], 1, 5);
      out.push_back(line);
    }
  out.push_back("1");
  const TLampSet& set = lum.LampSets[0];
  char buf[96];
  std::snprintf(buf, sizeof buf, "%5d%3d%4d 1.0 1.0 %4d%4d", int(lum.Length), int(set.LampCount),
                int(set.SetWatt), int(set.SetWatt), int(set.SetWatt));
  out.push_back(buf);
  return out;
}

}  // namespace kandelo
