// Generator of the coefficient tables in resources/tables/ (resource type 257,
// numbers 1 … 9, plus the UGR reference shapes). Every table is either printed
// data of the methods or derived here from the geometry the methods rest on;
// the run prints, for each derived table, its largest deviation from the rows
// that are known.
//
// Build and run from the repository root:
//   g++ -O2 -std=c++20 tools/gen_coeff_tables.cpp -o /tmp/gen_coeff_tables
//   /tmp/gen_coeff_tables tools/data resources/tables
//
// Output layout of every file: u16 rows, u16 columns, then the values row by
// row as little-endian IEEE singles (the TSglArray stream layout).
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
double rad(double deg) { return deg * kPi / 180.0; }

struct Table {
  int rows = 0, cols = 0;
  std::vector<double> v;
  Table(int r, int c) : rows(r), cols(c), v(std::size_t(r) * c, 0.0) {}
  double& at(int r, int c) { return v[std::size_t(r) * cols + c]; }
  double at(int r, int c) const { return v[std::size_t(r) * cols + c]; }
};

void save(const Table& t, const std::string& path) {
  std::ofstream f(path, std::ios::binary);
  auto put16 = [&](unsigned x) {
    unsigned char b[2] = {static_cast<unsigned char>(x & 0xff), static_cast<unsigned char>(x >> 8)};
    f.write(reinterpret_cast<char*>(b), 2);
  };
  put16(unsigned(t.rows));
  put16(unsigned(t.cols));
  for (double d : t.v) {
    float x = static_cast<float>(d);
    std::uint32_t u;
    std::memcpy(&u, &x, 4);
    unsigned char b[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                          static_cast<unsigned char>(u >> 16), static_cast<unsigned char>(u >> 24)};
    f.write(reinterpret_cast<char*>(b), 4);
  }
  if (!f) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

// Fraction of the circle of radius r around (px, py) that lies inside the
// rectangle [0, A] × [0, B]. Arcs cut off by opposite walls never overlap;
// arcs of adjacent walls overlap beyond the corner.
double insideFraction(double px, double py, double A, double B, double r) {
  if (r <= 0) return 1.0;
  const double w[4] = {A - px, B - py, px, py};  // walls at 0°, 90°, 180°, 270°
  double half[4];
  for (int i = 0; i < 4; ++i) half[i] = r > w[i] ? std::acos(std::max(0.0, w[i]) / r) : 0.0;
  double out = 0;
  for (int i = 0; i < 4; ++i) out += 2 * half[i];
  for (int i = 0; i < 4; ++i) out -= std::max(0.0, half[i] + half[(i + 1) % 4] - kPi / 2);
  return std::clamp(1.0 - out / (2 * kPi), 0.0, 1.0);
}

struct Pt { double x, y; };

// Share of a zone's flux that lands on a plane at distance d, for constant
// intensity within the zone (flux spread in proportion to d(cos ψ)) and uniform
// azimuth; ψ is the angle from the normal of the receiving plane.
double zoneShare(const std::vector<Pt>& lums, double A, double B, double d, double psi1, double psi2) {
  const int steps = 400;
  double sum = 0, wsum = 0;
  for (int k = 0; k < steps; ++k) {
    double a = rad(psi1 + (psi2 - psi1) * k / steps), b = rad(psi1 + (psi2 - psi1) * (k + 1) / steps);
    double w = std::cos(a) - std::cos(b);
    double m = 0.5 * (a + b);
    double s = 0;
    if (m < kPi / 2 - 1e-12) {
      double r = d * std::tan(m);
      for (const Pt& p : lums) s += insideFraction(p.x, p.y, A, B, r);
      s /= double(lums.size());
    }
    sum += w * s;
    wsum += w;
  }
  return sum / wsum;
}

// Antiderivative of cos^m.
double cosPowInt(int m, double a) {
  if (m == 0) return a;
  if (m == 1) return std::sin(a);
  return std::pow(std::cos(a), m - 1) * std::sin(a) / m + double(m - 1) / m * cosPowInt(m - 2, a);
}

// Linear luminaires along the room length (x): I(θ, α) = I_T(θ)·cosⁿα. The
// factor turns a band-mean transverse intensity (cd/klm) into lm per klm.
double linearShare(const std::vector<Pt>& lums, double L, double W, double d, double th1, double th2, int n) {
  const int steps = 400;
  double total = 0;
  for (const Pt& p : lums) {
    for (int side = 0; side < 2; ++side) {
      double lat = side == 0 ? W - p.y : p.y;
      for (int k = 0; k < steps; ++k) {
        double th = rad(th1 + (th2 - th1) * (k + 0.5) / steps);
        double dth = rad(th2 - th1) / steps;
        if (d * std::tan(th) > lat) continue;
        double a1 = -std::atan(p.x * std::cos(th) / d), a2 = std::atan((L - p.x) * std::cos(th) / d);
        total += dth * (cosPowInt(n + 1, a2) - cosPowInt(n + 1, a1));
      }
    }
  }
  return total / double(lums.size());
}

std::vector<Pt> grid(double L, double W, int nx, int ny, double wx, double wy) {
  std::vector<Pt> out;
  for (int i = 0; i < nx; ++i)
    for (int j = 0; j < ny; ++j) {
      double x = nx == 1 ? L / 2 : wx + (L - 2 * wx) * i / (nx - 1);
      double y = ny == 1 ? W / 2 : wy + (W - 2 * wy) * j / (ny - 1);
      out.push_back({x, y});
    }
  return out;
}

double round3Twice(double x) {  // half up, first to 4, then to 3 decimals
  double four = std::floor(x * 1e4 + 0.5) / 1e4;
  return std::floor(four * 1e3 + 0.5 + 1e-9) / 1e3;
}

void report(const char* what, double dev) { std::printf("%-58s largest deviation %.4f\n", what, dev); }

// ---------------------------------------------------------------- resource 1
const double kLitgK[10] = {0.6, 0.8, 1.0, 1.25, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0};
// Luminaire arrays of the standard rooms (along the length × across, wall
// distances), fitted to the printed rows and to direct ratios stored in
// manufacturer files made with the same table.
struct Arr { int nx, ny; double wx, wy; };
const Arr kLitgArr[10] = {{2, 1, 0.3297, 0.4875}, {2, 2, 0.527, 0.3},   {3, 2, 0.42, 0.387},
                          {4, 2, 0.425, 0.502},   {4, 3, 0.525, 0.419}, {5, 3, 0.5, 0.525},
                          {7, 4, 0.475, 0.531},   {8, 5, 0.575, 0.537}, {10, 7, 0.475, 0.535},
                          {13, 8, 0.5, 0.5625}};

Table makeLitg() {
  Table t(360, 5);
  const int axialN[4] = {1, 2, 3, 6};
  for (int i = 0; i < 10; ++i) {
    double k = kLitgK[i], L = 2.6 * k, W = 1.625 * k;
    auto lums = grid(L, W, kLitgArr[i].nx, kLitgArr[i].ny, kLitgArr[i].wx, kLitgArr[i].wy);
    for (int z = 1; z <= 18; ++z) {
      int down = 36 * i + z - 1, up = down + 18;
      t.at(down, 0) = zoneShare(lums, L, W, 1.0, 5.0 * (z - 1), 5.0 * z);
      t.at(up, 0) = zoneShare(lums, L, W, 0.5, 90.0 - 5.0 * z, 90.0 - 5.0 * (z - 1));
      for (int c = 0; c < 4; ++c) {
        t.at(down, c + 1) = linearShare(lums, L, W, 1.0, 5.0 * (z - 1), 5.0 * z, axialN[c]);
        t.at(up, c + 1) = linearShare(lums, L, W, 0.5, 90.0 - 5.0 * z, 90.0 - 5.0 * (z - 1), axialN[c]);
      }
    }
  }
  for (int r = 0; r < 360; ++r) {
    t.at(r, 0) = std::round(t.at(r, 0) * 1000) / 1000;
    for (int c = 1; c < 5; ++c) t.at(r, c) = std::round(t.at(r, c) * 10000) / 10000;
  }
  // Printed rows, column 1: block (room index number, upward) and 18 values.
  struct Told { int i; bool up; double v[18]; };
  const Told told[] = {
      {1, false, {1, 1, 1, 0.963, 0.795, 0.515, 0.278, 0.219, 0.179, 0.147, 0.041, 0, 0, 0, 0, 0, 0, 0}},
      {1, true, {0, 0, 0, 0, 0.092, 0.17, 0.214, 0.27, 0.417, 0.74, 0.832, 0.976, 1, 1, 1, 1, 1, 1}},
      {4, false, {1, 1, 1, 1, 0.98, 0.826, 0.656, 0.591, 0.551, 0.521, 0.45, 0.334, 0.188, 0.083, 0.016, 0, 0, 0}},
      {10, false, {1, 1, 1, 1, 1, 0.986, 0.93, 0.899, 0.881, 0.868, 0.857, 0.823, 0.763, 0.721, 0.627, 0.485, 0.203, 0.002}},
  };
  double dev1 = 0;
  for (const Told& r : told)
    for (int z = 0; z < 18; ++z) {
      int row = 36 * (r.i - 1) + (r.up ? 18 : 0) + z;
      dev1 = std::max(dev1, std::fabs(t.at(row, 0) - r.v[z]));
      t.at(row, 0) = r.v[z];
    }
  report("LiTG column 1 vs printed rows", dev1);
  struct Cell { int row; double v[4]; };
  const Cell cells[] = {{0, {0.1739, 0.1611, 0.1507, 0.1287}},
                        {5, {0.0325, 0.0303, 0.0285, 0.0245}},
                        {36 * 9 + 35, {0.2699, 0.2305, 0.2044, 0.1593}}};
  double dev2 = 0;
  for (const Cell& c : cells)
    for (int j = 0; j < 4; ++j) {
      dev2 = std::max(dev2, std::fabs(t.at(c.row, j + 1) - c.v[j]));
      t.at(c.row, j + 1) = c.v[j];
    }
  for (int z = 7; z <= 18; ++z)
    for (int j = 1; j < 5; ++j) dev2 = std::max(dev2, std::fabs(t.at(z - 1, j)));
  report("LiTG columns 2-5 vs printed cells", dev2);
  return t;
}

// Direct ratios stored by manufacturers' software in three EULUMDAT files that
// were made with the same LiTG table (k = 0.6 … 5), beside the files' 5° zonal
// fluxes (lm per klm, γ 0 … 90°).
void checkLitgAgainstFiles(const Table& t) {
  struct File { const char* name; double z[18]; double dr[10]; };
  const File files[] = {
      {"SLV Tria 2 narrow",
       {84.61, 192.59, 198.78, 167.23, 135.52, 111.69, 75.13, 17.00, 5.91, 3.86, 2.44, 1.65, 1.26, 1.00, 0.76, 0.49, 0.27, 0.12},
       {0.82836, 0.85144, 0.88723, 0.93457, 0.94325, 0.96514, 0.97249, 0.98303, 0.98254, 0.98816}},
      {"SLV Tria 2 middle",
       {42.57, 117.46, 159.12, 156.08, 128.61, 108.10, 103.04, 92.67, 48.73, 13.60, 7.39, 6.00, 4.73, 3.66, 3.03, 2.74, 2.22, 1.08},
       {0.68667, 0.74372, 0.79177, 0.85267, 0.87564, 0.90744, 0.92765, 0.94734, 0.95337, 0.96469}},
      {"RZB 311619",
       {5.43, 16.20, 26.67, 36.52, 45.44, 53.13, 59.36, 63.91, 66.63, 67.44, 66.30, 63.23, 58.36, 51.89, 44.16, 35.73, 27.61, 21.40},
       {0.20202, 0.26900, 0.32290, 0.38874, 0.43476, 0.49507, 0.54486, 0.58524, 0.62290, 0.65402}},
  };
  double worst = 0;
  for (const File& f : files) {
    auto direct = [&](int i) {
      double s = 0;
      for (int z = 0; z < 18; ++z) s += t.at(36 * i + z, 0) * f.z[z];
      return s;
    };
    // The reference flux of the file's ratios, from the printed k = 5 row.
    double ref = direct(9) / f.dr[9];
    std::printf("  %-18s DR file/table:", f.name);
    for (int i = 0; i < 10; ++i) {
      double dr = direct(i) / ref;
      worst = std::max(worst, std::fabs(dr - f.dr[i]));
      std::printf(" %.4f/%.4f", f.dr[i], dr);
    }
    std::printf("\n");
  }
  report("LiTG direct ratios vs 3 manufacturer files", worst);
}

// ---------------------------------------------------------------- resource 2
Table makeGuth(const std::string& csv) {
  Table t(32, 21);
  for (int c = 1; c <= 20; ++c) t.at(0, c) = (c - 1) / 10.0;
  std::ifstream f(csv);
  if (!f) {
    std::fprintf(stderr, "cannot read %s\n", csv.c_str());
    std::exit(1);
  }
  std::string line;
  std::getline(f, line);
  int r = 1;
  while (std::getline(f, line) && r <= 31) {
    std::stringstream ss(line);
    std::string cell;
    std::getline(ss, cell, ',');
    t.at(r, 0) = std::round(std::stod(cell) * 10) / 10;
    for (int c = 1; c <= 20; ++c) {
      if (!std::getline(ss, cell, ',')) cell.clear();
      t.at(r, c) = cell.empty() ? 0.0 : std::round(std::stod(cell) * 100);
    }
    ++r;
  }
  if (r != 32) {
    std::fprintf(stderr, "position index table incomplete\n");
    std::exit(1);
  }
  return t;
}

// ------------------------------------------------------- resources 3 and 9
const double kCibseRi[9] = {0.75, 1, 1.25, 1.5, 2, 2.5, 3, 4, 5};
const double kShr[9] = {0.5, 0.75, 1, 1.25, 1.5, 1.75, 2, 2.25, 2.5};

// Zonal multipliers of an N × N square array at spacing s in its square room.
std::array<double, 9> zmArray(int N, double s) {
  double a = N * s;
  std::vector<Pt> lums;
  for (int i = 0; i < N; ++i)
    for (int j = 0; j < N; ++j) lums.push_back({(i + 0.5) * s, (j + 0.5) * s});
  std::array<double, 9> out{};
  for (int z = 0; z < 9; ++z) out[z] = zoneShare(lums, a, a, 1.0, 10.0 * z, 10.0 * (z + 1));
  return out;
}

// Monotone cubic (Fritsch–Carlson) through (x[i], y[i]) evaluated at t.
double pchip(const std::vector<double>& x, const std::vector<double>& y, double t) {
  std::size_t n = x.size();
  std::vector<double> h(n - 1), d(n - 1), m(n);
  for (std::size_t i = 0; i + 1 < n; ++i) {
    h[i] = x[i + 1] - x[i];
    d[i] = (y[i + 1] - y[i]) / h[i];
  }
  m[0] = d[0];
  m[n - 1] = d[n - 2];
  for (std::size_t i = 1; i + 1 < n; ++i) {
    if (d[i - 1] * d[i] <= 0) {
      m[i] = 0;
    } else {
      double w1 = 2 * h[i] + h[i - 1], w2 = h[i] + 2 * h[i - 1];
      m[i] = (w1 + w2) / (w1 / d[i - 1] + w2 / d[i]);
    }
  }
  // Outside the knots the end segments are extended.
  std::size_t k = 0;
  while (k + 2 < n && t > x[k + 1]) ++k;
  double u = (t - x[k]) / h[k];
  double h00 = (1 + 2 * u) * (1 - u) * (1 - u), h10 = u * (1 - u) * (1 - u), h01 = u * u * (3 - 2 * u),
         h11 = u * u * (u - 1);
  return h00 * y[k] + h10 * h[k] * m[k] + h01 * y[k + 1] + h11 * h[k] * m[k + 1];
}

Table makeZonalMultipliers() {
  Table t(81, 9);
  for (int s = 0; s < 9; ++s) {
    double shr = kShr[s];
    // Integer arrays N = 1, 2, … up to beyond the largest room index.
    std::vector<double> ris;
    std::vector<std::array<double, 9>> vals;
    for (int N = 1; N * shr / 2 <= 5.0 + shr; ++N) {
      ris.push_back(N * shr / 2);
      vals.push_back(zmArray(N, shr));
    }
    for (int i = 0; i < 9; ++i) {
      double ri = kCibseRi[i];
      double N = 2 * ri / shr;
      std::array<double, 9> zm{};
      if (std::fabs(N - std::round(N)) < 1e-9) {
        zm = zmArray(int(std::round(N)), shr);
      } else if (N < 1) {
        // Less than one spacing fits: one luminaire in the centre of the room.
        std::vector<Pt> one{{ri, ri}};
        for (int z = 0; z < 9; ++z) zm[z] = zoneShare(one, 2 * ri, 2 * ri, 1.0, 10.0 * z, 10.0 * (z + 1));
      } else {
        for (int z = 0; z < 9; ++z) {
          std::vector<double> y;
          for (auto& v : vals) y.push_back(v[z]);
          zm[z] = pchip(ris, y, ri);
        }
      }
      for (int z = 0; z < 9; ++z) t.at(s * 9 + i, z) = std::round(std::clamp(zm[z], 0.0, 1.0) * 1000) / 1000;
    }
  }
  const double told1[9] = {1, 0.831, 0.605, 0.505, 0.281, 0.076, 0, 0, 0};
  const double told9[9] = {1, 0.975, 0.937, 0.918, 0.874, 0.824, 0.738, 0.555, 0.102};
  double dev = 0;
  for (int z = 0; z < 9; ++z) {
    dev = std::max({dev, std::fabs(t.at(0, z) - told1[z]), std::fabs(t.at(8, z) - told9[z])});
    t.at(0, z) = told1[z];
    t.at(8, z) = told9[z];
  }
  report("TM5 zonal multipliers vs printed rows (SHR 0.5)", dev);
  for (int z = 0; z < 9; ++z) t.at(72, z) = t.at(73, z) = 5;  // not computable
  return t;
}

// Boundary 1 of the BZ limits is the mean of the direct ratios of BZ1
// (I₀cos⁴γ) and BZ2 (I₀cos³γ) with the SHR 1.0 multipliers: a check of the
// non-integer-array rule at every room index.
void checkBzBoundary(const Table& zm) {
  const double limit1[9] = {0.577, 0.666, 0.724, 0.764, 0.818, 0.852, 0.875, 0.905, 0.924};
  double worst = 0;
  std::printf("  BZ boundary 1 table/model:");
  for (int i = 0; i < 9; ++i) {
    double dr[2];
    for (int p = 0; p < 2; ++p) {
      int power = p == 0 ? 4 : 3;
      double direct = 0, down = 0;
      for (int z = 0; z < 9; ++z) {
        double f = 0;
        for (int k = 0; k < 100; ++k) {
          double g1 = rad(10.0 * z + 0.1 * k), g2 = rad(10.0 * z + 0.1 * (k + 1));
          double g = 0.5 * (g1 + g2);
          f += std::pow(std::cos(g), power) * (std::cos(g1) - std::cos(g2));
        }
        direct += zm.at(2 * 9 + i, z) * f;
        down += f;
      }
      dr[p] = direct / down;
    }
    double b = 0.5 * (dr[0] + dr[1]);
    worst = std::max(worst, std::fabs(b - limit1[i]));
    std::printf(" %.3f/%.4f", limit1[i], b);
  }
  std::printf("\n");
  report("BZ boundary 1 from SHR 1.0 multipliers", worst);
}

// Opposed parallel equal rectangles A × B at distance d.
double viewFactor(double A, double B, double d) {
  double X = A / d, Y = B / d;
  return (std::log((1 + X * X) * (1 + Y * Y) / (1 + X * X + Y * Y)) / (X * Y) +
          2 * std::sqrt(1 + Y * Y) * std::atan(X / std::sqrt(1 + Y * Y)) / Y +
          2 * std::sqrt(1 + X * X) * std::atan(Y / std::sqrt(1 + X * X)) / X - 2 * std::atan(Y) / X -
          2 * std::atan(X) / Y) / kPi;
}

// (T_D, T_W, T_U): total flux on the working plane per unit of initial flux on
// the working plane, the walls and the ceiling of the square room.
std::array<double, 3> transfer(double ri, double rc, double rw, double rf) {
  double a = 2 * ri, f = viewFactor(a, a, 1.0);
  // Surfaces 0 ceiling, 1 walls, 2 floor; F[i][j] share leaving i reaching j.
  double F[3][3] = {{0, 1 - f, f}, {ri * (1 - f) / 2, 1 - ri * (1 - f), ri * (1 - f) / 2}, {f, 1 - f, 0}};
  double rho[3] = {rc / 100, rw / 100, rf / 100};
  // Φ = Φdir + Mᵀ Φ with M[j][i] = ρ_j F[j][i]; solve (I − Mᵀ) Φ = Φdir.
  std::array<double, 3> out{};
  for (int src = 0; src < 3; ++src) {
    double S[3][4];
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) S[i][j] = (i == j ? 1.0 : 0.0) - rho[j] * F[j][i];
      S[i][3] = i == src ? 1.0 : 0.0;
    }
    for (int p = 0; p < 3; ++p)
      for (int r = p + 1; r < 3; ++r) {
        double m = S[r][p] / S[p][p];
        for (int c = p; c < 4; ++c) S[r][c] -= m * S[p][c];
      }
    double x[3];
    for (int r = 2; r >= 0; --r) {
      double s = S[r][3];
      for (int c = r + 1; c < 3; ++c) s -= S[r][c] * x[c];
      x[r] = s / S[r][r];
    }
    // src 2 (floor) → T_D, 1 (walls) → T_W, 0 (ceiling) → T_U
    out[src == 2 ? 0 : src == 1 ? 1 : 2] = x[2];
  }
  return out;
}

const int kCibseRefl[9][3] = {{70, 50, 20}, {70, 30, 20}, {70, 10, 20}, {50, 50, 20}, {50, 30, 20},
                              {50, 10, 20}, {30, 50, 20}, {30, 30, 20}, {30, 10, 20}};

Table makeTransferFactors() {
  Table t(81, 3);
  for (int c = 0; c < 9; ++c)
    for (int i = 0; i < 9; ++i) {
      auto tf = transfer(kCibseRi[i], kCibseRefl[c][0], kCibseRefl[c][1], kCibseRefl[c][2]);
      for (int j = 0; j < 3; ++j) t.at(c * 9 + i, j) = round3Twice(tf[j]);
    }
  struct Told { int row; double v[3]; };
  const Told told[] = {{0, {1.055, 0.237, 0.349}}, {8, {1.132, 0.426, 0.707}}, {8 * 9 + 8, {1.045, 0.057, 0.262}}};
  double dev = 0;
  for (const Told& r : told)
    for (int j = 0; j < 3; ++j) dev = std::max(dev, std::fabs(t.at(r.row, j) - r.v[j]));
  report("TM5 transfer factors vs printed rows", dev);
  // The NB constants at k 0.6 and 0.8 are printed; the same model must give them.
  const double nb[8][2][3] = {
      {{1.046, 0.208, 0.292}, {1.057, 0.246, 0.366}}, {{1.027, 0.102, 0.234}, {1.037, 0.124, 0.305}},
      {{1.014, 0.029, 0.193}, {1.022, 0.036, 0.261}}, {{1.039, 0.193, 0.202}, {1.047, 0.224, 0.252}},
      {{1.023, 0.096, 0.164}, {1.03, 0.115, 0.213}},  {{1.011, 0.027, 0.137}, {1.017, 0.033, 0.184}},
      {{1.018, 0.09, 0.097}, {1.023, 0.106, 0.126}},  {{1.008, 0.026, 0.082}, {1.012, 0.031, 0.11}}};
  const int nbToCibse[8] = {0, 1, 2, 3, 4, 5, 7, 8};
  double devNb = 0;
  for (int n = 0; n < 8; ++n)
    for (int kk = 0; kk < 2; ++kk) {
      const int* r = kCibseRefl[nbToCibse[n]];
      auto tf = transfer(kk == 0 ? 0.6 : 0.8, r[0], r[1], r[2]);
      for (int j = 0; j < 3; ++j) devNb = std::max(devNb, std::fabs(round3Twice(tf[j]) - nb[n][kk][j]));
    }
  report("TM5 transfer model vs printed NB values (k 0.6, 0.8)", devNb);
  return t;
}

// ---------------------------------------------------------------- resource 8
// Weights of the asymmetric uniformity ratio. Rows of luminaires (across the
// luminaire axis) at transverse distance x = h·tan θ. A continuous row gives a
// horizontal illuminance proportional to cos²θ (line source), relative to the
// row overhead; two rows each side. Column 7 is that continuous row exactly;
// columns 1 … 6 (discrete luminaires by axial shape class) keep the ratio to
// the continuous row that the printed SHR 0.5 rows show, the far-row ratio also
// for the rows at spacing s and 2s of the point under a luminaire.
Table makeAsymmetricWeights() {
  Table t(45, 7);
  const double r1[7] = {1.233, 1.227, 1.22, 1.209, 1.197, 1.191, 1.28};
  const double r2[7] = {1.906, 1.911, 1.912, 1.909, 1.91, 1.911, 1.882};
  double cont1 = 2 * std::pow(std::cos(std::atan(0.75)), 2), cont2 = 2 * std::pow(std::cos(std::atan(0.25)), 2);
  double dev = 0;
  for (int s = 0; s < 9; ++s) {
    double sp = kShr[s];
    double th[5] = {std::atan(1.5 * sp), std::atan(0.5 * sp), 0, std::atan(sp), std::atan(2 * sp)};
    for (int term = 0; term < 5; ++term) {
      double cont = 2 * std::pow(std::cos(th[term]), 2);
      for (int e = 0; e < 7; ++e) {
        double v;
        if (term == 2) v = 1;
        else if (term == 1) v = cont * r2[e] / cont2;
        else v = cont * r1[e] / cont1;
        t.at(s * 5 + term, e) = std::round(v * 1000) / 1000;
      }
    }
  }
  // The one real check: the continuous-row column against the line-source model.
  dev = std::max(std::fabs(r1[6] - cont1), std::fabs(r2[6] - cont2));
  report("asymmetric weights, continuous rows (col. 7) vs 2cos^2", dev);
  return t;
}

// --------------------------------------------------------- UGR reference shapes
// UGR0 tables of model luminaires with I(γ, φ) = cos^a γ·(cos²φ + e·sin²φ)
// (φ the azimuth from the line of sight, e > 1 brighter to the side) and a
// projected luminous area cos γ + b·sin γ, by the tabular geometry of the UGR
// computation (H/4 grid, observer at the middle of a wall, CIE 117 position
// index), shifted so that the 12H × 12H room gives 20.0.
struct Guth {
  const Table* t;
  double p(double tr, double hr) const {
    if (hr > 1.9 || hr < 0 || tr > 3 || tr < 0) return 0;
    int c = std::min(int(hr * 10), 18), r = std::min(int(tr * 10), 29);
    double fc = hr * 10 - c, fr = tr * 10 - r;
    double v = (1 - fr) * ((1 - fc) * t->at(r + 1, c + 1) + fc * t->at(r + 1, c + 2)) +
               fr * ((1 - fc) * t->at(r + 2, c + 1) + fc * t->at(r + 2, c + 2));
    return v / 100;
  }
};

using Shape = std::array<std::array<double, 6>, 6>;  // [Y][X]
const int kDims[6] = {2, 3, 4, 6, 8, 12};

Shape ugr0Model(const Guth& g, double a, double b, double e) {
  static double grid[48][48];
  for (auto& row : grid) for (double& v : row) v = 0;
  for (int n = 0; n < 24; ++n) {
    double y = 0.25 + 0.5 * n;
    for (int c = 2; c < 48; ++c) {
      double x = 0.25 + 0.5 * c;
      double p = g.p(y / x, 2 / x);
      if (std::round(100 * p) == 0) continue;
      double d2 = x * x + y * y + 4, gam = std::atan(std::sqrt(x * x + y * y) / 2);
      double phi = std::atan(y / x);
      double I = std::pow(std::cos(gam), a) * (std::cos(phi) * std::cos(phi) + e * std::sin(phi) * std::sin(phi));
      double A = std::cos(gam) + b * std::sin(gam);
      double v = (I / p) * (I / p) / (A * d2);
      grid[24 + n][c] = grid[23 - n][c] = v;
    }
  }
  for (int c = 2; c <= 7; ++c)
    for (int n = 3 * (c + 1) - 1; n < 24; ++n) grid[24 + n][c] = grid[23 - n][c] = 0;
  Shape s{};
  for (int yi = 0; yi < 6; ++yi)
    for (int xi = 0; xi < 6; ++xi) {
      int X = kDims[xi], Y = kDims[yi];
      double S = 0;
      for (int r = 24 - 2 * X; r <= 23 + 2 * X; ++r)
        for (int c = 1; c <= 4 * Y - 1; ++c) S += grid[r][c];
      s[yi][xi] = 8 * std::log10(std::max(S, 1e-10));
    }
  double shift = 20 - s[5][5];
  for (auto& row : s) for (double& v : row) v += shift;
  return s;
}

double rowError(const Shape& s, const double* row) {
  double e = 0;
  for (int x = 0; x < 6; ++x) e = std::max(e, std::fabs(s[0][x] - row[x]));
  return e;
}

struct ShapeParams { double a = 1, b = 0, e = 1; };

// Best (a, b, e) for a printed Y = 2 row (smallest largest deviation).
ShapeParams fitRow(const Guth& g, const double* row) {
  double best = 1e9;
  ShapeParams p;
  for (double e = 1; e <= 6.0001; e += 0.25)
    for (double b = 0; b <= 4.0001; b += 0.2)
      for (double a = -1.0; a <= 8.0001; a += 0.1) {
        double err = rowError(ugr0Model(g, a, b, e), row);
        if (err < best) {
          best = err;
          p = {a, b, e};
        }
      }
  return p;
}

Table makeShapes(const Table& guthTable) {
  Guth g{&guthTable};
  Table t(90, 6);
  const double bk12[6] = {8.0, 8.9, 9.6, 10.1, 10.2, 10.2};
  const double bkbf[6] = {11.9, 13.0, 13.6, 14.1, 14.3, 14.4};
  const double bkff[6] = {12.7, 13.6, 14.1, 14.5, 14.6, 14.7};
  std::vector<Shape> shapes(15);
  for (auto& row : shapes[0]) row.fill(20.0);
  ShapeParams p12 = fitRow(g, bk12);
  // BK1 … BK12: BK12's area and azimuth model, the exponent chosen so that
  // the 2H × 2H room gives 20 − n (a larger exponent, a flatter table).
  for (int n = 1; n <= 12; ++n) {
    double lo = -1, hi = 400;
    for (int it = 0; it < 80; ++it) {
      double mid = 0.5 * (lo + hi);
      if (ugr0Model(g, mid, p12.b, p12.e)[0][0] < 20.0 - n) lo = mid; else hi = mid;
    }
    shapes[n] = ugr0Model(g, 0.5 * (lo + hi), p12.b, p12.e);
  }
  ShapeParams pbf = fitRow(g, bkbf), pff = fitRow(g, bkff);
  shapes[13] = ugr0Model(g, pbf.a, pbf.b, pbf.e);
  shapes[14] = ugr0Model(g, pff.a, pff.b, pff.e);
  double dev = std::max({rowError(shapes[12], bk12), rowError(shapes[13], bkbf), rowError(shapes[14], bkff)});
  std::printf("  shape fits (a, b, e): BK12 %.1f %.1f %.2f dev %.2f, BKBF %.1f %.1f %.2f dev %.2f, BKFF %.1f %.1f %.2f dev %.2f\n",
              p12.a, p12.b, p12.e, rowError(shapes[12], bk12), pbf.a, pbf.b, pbf.e, rowError(shapes[13], bkbf), pff.a,
              pff.b, pff.e, rowError(shapes[14], bkff));
  // Printed rows and anchors replace the model values.
  for (int x = 0; x < 6; ++x) {
    shapes[12][0][x] = bk12[x];
    shapes[13][0][x] = bkbf[x];
    shapes[14][0][x] = bkff[x];
  }
  for (int n = 1; n <= 12; ++n) shapes[n][0][0] = 20.0 - n;
  for (auto& s : shapes) s[5][5] = 20.0;
  for (int a = 0; a < 15; ++a)
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 6; ++x) t.at(a * 6 + y, x) = std::round(shapes[a][y][x] * 10) / 10;
  report("UGR reference shapes vs printed Y = 2 rows", dev);
  return t;
}

// Given tables.
Table fromRows(int rows, int cols, const std::vector<double>& v) {
  Table t(rows, cols);
  if (v.size() != std::size_t(rows) * cols) {
    std::fprintf(stderr, "table size mismatch\n");
    std::exit(1);
  }
  t.v = v;
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  std::string data = argc > 1 ? argv[1] : "tools/data";
  std::string out = argc > 2 ? argv[2] : "resources/tables";
  Table litg = makeLitg();
  checkLitgAgainstFiles(litg);
  save(litg, out + "/257_1.sgl");
  Table guth = makeGuth(data + "/guth_position_index_cie117.csv");
  save(guth, out + "/257_2.sgl");
  Table zm = makeZonalMultipliers();
  checkBzBoundary(zm);
  save(zm, out + "/257_3.sgl");
  save(fromRows(9, 9, {0.577, 0.517, 0.462, 0.422, 0.367, 0.297, 0.253, 0.204, 0.154,
                       0.666, 0.611, 0.558, 0.507, 0.435, 0.358, 0.31,  0.26,  0.208,
                       0.724, 0.674, 0.624, 0.576, 0.504, 0.424, 0.374, 0.324, 0.274,
                       0.764, 0.719, 0.673, 0.626, 0.554, 0.473, 0.422, 0.371, 0.322,
                       0.818, 0.78,  0.739, 0.697, 0.626, 0.545, 0.494, 0.446, 0.4,
                       0.852, 0.812, 0.784, 0.746, 0.677, 0.599, 0.55,  0.504, 0.461,
                       0.875, 0.847, 0.816, 0.781, 0.716, 0.641, 0.593, 0.55,  0.509,
                       0.905, 0.883, 0.858, 0.828, 0.769, 0.699, 0.656, 0.617, 0.581,
                       0.924, 0.905, 0.884, 0.858, 0.804, 0.74,  0.7,   0.665, 0.633}),
       out + "/257_4.sgl");
  save(fromRows(9, 9, {19.5, 38.8, 46.7, 0, 26.6, 35.3, 45,   48.2, 54.7,
                       27.9, 49.9, 57.8, 0, 36.9, 46.7, 56.3, 59.2, 64.8,
                       35.3, 57.7, 64.8, 0, 45,   54.7, 63.4, 65.9, 70.5,
                       41.5, 63.2, 69.3, 0, 51.3, 60.5, 68.2, 70.3, 74.2,
                       46.7, 67.1, 72.6, 0, 56.3, 64.8, 71.6, 73.4, 76.7,
                       51.1, 70.1, 74.9, 0, 60.3, 68,   74.1, 75.7, 78.6,
                       54.7, 72.5, 76.7, 0, 63.4, 70.5, 76,   77.4, 77.4,
                       57.8, 74.3, 78.2, 0, 66,   72.6, 77.5, 78.8, 81.1,
                       60.5, 75.8, 79.3, 0, 68.2, 74.2, 78.7, 79.7, 82}),
       out + "/257_5.sgl");
  save(fromRows(9, 9, {3.352, 3.862, 1.291, 1, 2.862, 2.177, 0.707, 1.185, 0.192,
                       2.578, 2.143, 0.603, 1, 2.048, 1.291, 0.341, 0.537, 0.078,
                       2.177, 1.222, 0.31,  1, 1.414, 0.77,  0.179, 0.272, 0.037,
                       1.683, 0.736, 0.176, 1, 0.975, 0.477, 0.102, 0.153, 0.02,
                       1.291, 0.469, 0.108, 1, 0.683, 0.31,  0.063, 0.093, 0.012,
                       0.993, 0.314, 0.07,  1, 0.489, 0.21,  0.041, 0.061, 0.008,
                       0.77,  0.219, 0.048, 1, 0.358, 0.148, 0.029, 0.042, 0.005,
                       0.603, 0.159, 0.034, 1, 0.268, 0.108, 0.02,  0.03,  0.004,
                       0.477, 0.118, 0.025, 1, 0.205, 0.081, 0.015, 0.022, 0.003}),
       out + "/257_6.sgl");
  save(fromRows(9, 2, {36.9, 14, 48.4, 20.6, 56.3, 26.6, 61.9, 32, 66, 36.9, 69.1, 41.2, 71.6, 45,
                       73.5, 48.4, 75.1, 51.3}),
       out + "/257_7.sgl");
  save(makeAsymmetricWeights(), out + "/257_8.sgl");
  save(makeTransferFactors(), out + "/257_9.sgl");
  save(makeShapes(guth), out + "/ugr_shapes.sgl");
  return 0;
}
