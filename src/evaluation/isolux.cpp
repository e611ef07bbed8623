#include "evaluation/isolux.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "evaluation/diagram_common.h"
#include "graphics/simpledc.h"

namespace kandelo {

const float kIsoluxLevels[kIsoluxLevelCount] = {0.2f, 0.5f, 1, 3, 5, 7, 10, 15, 20, 25, 50, 100, 200, 300, 500, 750, 1000, 1500, 2000};

namespace {

constexpr int kCells = 50;
constexpr int kNodes = 48;
constexpr float kRingValue = -1000000.0f;
// Longest traced line kept as it is; longer ones are thinned to this + 1 points.
constexpr std::size_t kThinTo = 1600;
constexpr std::size_t kMaxSmoothed = 2000;

double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

}  // namespace

std::vector<float> IsoluxLevels(float minimum, float maximum) {
  std::vector<float> out;
  if (!std::isfinite(minimum) || !std::isfinite(maximum)) return out;
  const float start = maximum > 300 ? 11.0f : minimum;
  for (float level : kIsoluxLevels)
    if (level >= start && level <= maximum) out.push_back(level);
  return out;
}

// ---- contour lines ---------------------------------------------------------------

void tisoline::Project(const TMatrix4& view) {
  const int n = NumPoints();
  if (n == 0 || !screen.Allocate(n - 1)) return;
  for (int i = 0; i < n; ++i) screen.SetPoint(i, ProjectPoint(view, Item(i)));
}

void tisoline::Draw(TDrawRecord& r) {
  const int n = screen.NumPoints();
  if (!r.dc || n < 2) return;
  const std::vector<TPoint> all(screen.Items().begin(), screen.Items().end());
  auto edge = [&](int i) { return static_cast<std::size_t>(i) < onEdge.size() && onEdge[static_cast<std::size_t>(i)]; };
  std::vector<TPoint> run;
  auto flush = [&] {
    if (run.size() >= 2) r.dc->Polyline(run.data(), static_cast<int>(run.size()));
    run.clear();
  };
  // Start after an edge piece when there is one, so that a closed line
  // without one stays one polyline.
  int first = 0;
  for (int i = 0; i < n; ++i)
    if (edge(i) && edge((i + 1) % n)) first = (i + 1) % n;
  for (int k = 0; k < n; ++k) {
    const int i = (first + k) % n, j = (i + 1) % n;
    if (edge(i) && edge(j)) {
      flush();
      continue;
    }
    if (run.empty()) run.push_back(all[static_cast<std::size_t>(i)]);
    run.push_back(all[static_cast<std::size_t>(j)]);
  }
  flush();
}

void tisocoll::Sort() {
  ShellSortMembers(items_, [](const tbaseobject* p) {
    const auto* line = static_cast<const tisoline*>(p);
    return std::make_pair(-line->boxArea, line->level);
  });
}

// ---- node array ------------------------------------------------------------------

bool tarr_no::Setup(const tarr_sg& grid, int n, float x0, float y0, float s) {
  if (n < 2 || grid.HighIndex() < n - 1 || grid.HighRow() < n - 1 || !Allocate2D(n + 1, n + 1)) return false;
  count = n;
  step = s;
  spacing = s / 5;
  values_.assign(items_.size(), kRingValue);
  for (int r = 0; r <= n + 1; ++r)
    for (int c = 0; c <= n + 1; ++c) {
      TIsoNode& node = Item(c, r);
      node.x = x0 + static_cast<float>(c - 1) * s;
      node.y = y0 + static_cast<float>(r - 1) * s;
      const bool inside = c >= 1 && c <= n && r >= 1 && r <= n;
      node.type = inside && (c == 1 || c == n || r == 1 || r == n) ? 0 : 5;
      if (inside) values_[Index(c, r)] = static_cast<float>(Finite(grid.Get(c - 1, r - 1)));
    }
  return true;
}

void tarr_no::SetLevel(float level) {
  for (std::size_t k = 0; k < items_.size(); ++k)
    items_[k].f = values_[k] == kRingValue ? kRingValue : values_[k] - level;
}

namespace {

// Crossings on the edges between neighbouring nodes: node (c, r) owns the
// one to its right (H) and the one below it (V).
struct TCrossing {
  float x = 0, y = 0;
  int flag = 0;
  bool exists = false, used = false;
};

struct TEdge {
  bool horizontal;
  int c, r;
  bool operator==(const TEdge&) const = default;
};

struct TDir {
  int dc, dr;
};

class TTracer {
 public:
  explicit TTracer(const tarr_no& a) : a_(a), size_(a.count + 2) {
    h_.resize(static_cast<std::size_t>(size_ * size_));
    v_.resize(h_.size());
    for (int r = 0; r < size_; ++r)
      for (int c = 0; c < size_; ++c) {
        if (c + 1 < size_) Place(h_[Idx(c, r)], a.Item(c, r), a.Item(c + 1, r));
        if (r + 1 < size_) Place(v_[Idx(c, r)], a.Item(c, r), a.Item(c, r + 1));
      }
  }

  std::vector<std::vector<TIsoPoint>> TraceAll() {
    std::vector<std::vector<TIsoPoint>> lines;
    for (int r = 0; r < size_; ++r)
      for (int c = 0; c < size_; ++c) {
        for (;;) {
          std::vector<TIsoPoint> line;
          if (Free({true, c, r}))
            line = Trace({true, c, r}, {0, 1});
          else if (Free({false, c, r}))
            line = Trace({false, c, r}, {1, 0});
          else
            break;
          if (line.size() >= 4) lines.push_back(std::move(line));
        }
      }
    return lines;
  }

 private:
  std::size_t Idx(int c, int r) const { return static_cast<std::size_t>(r * size_ + c); }

  static void Place(TCrossing& x, const TIsoNode& a, const TIsoNode& b) {
    if ((a.f >= 0) == (b.f >= 0)) return;
    const double t = static_cast<double>(a.f) / (static_cast<double>(a.f) - b.f);
    x.x = static_cast<float>(a.x + t * (b.x - a.x));
    x.y = static_cast<float>(a.y + t * (b.y - a.y));
    x.flag = std::min(a.type, b.type);
    x.exists = true;
  }

  bool Valid(const TEdge& e) const {
    if (e.c < 0 || e.r < 0 || e.c >= size_ || e.r >= size_) return false;
    return e.horizontal ? e.c + 1 < size_ : e.r + 1 < size_;
  }
  TCrossing& At(const TEdge& e) { return (e.horizontal ? h_ : v_)[Idx(e.c, e.r)]; }
  bool Free(const TEdge& e) { return Valid(e) && At(e).exists && !At(e).used; }

  // The edge of cell (c, r) on side d.
  static TEdge EdgeOf(int c, int r, TDir d) {
    if (d.dc == 1) return {false, c + 1, r};
    if (d.dc == -1) return {false, c, r};
    if (d.dr == 1) return {true, c, r + 1};
    return {true, c, r};
  }

  // Leaves cell (c, r), entered walking d, by its other crossing; the
  // start closes the line. A cell with four crossings joins them so that
  // the corners on the side of the cell's mean value stay connected, which
  // keeps the lines of one level from crossing whatever order they are
  // traced in.
  bool Step(int& c, int& r, TDir& d, const TEdge& start, TEdge& next, bool& closed) {
    if (c < 0 || r < 0 || c + 1 >= size_ || r + 1 >= size_) return false;
    const TDir sides[4] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};  // top, right, bottom, left
    int entry = -1, count = 0;
    bool has[4];
    for (int k = 0; k < 4; ++k) {
      has[k] = At(EdgeOf(c, r, sides[k])).exists;
      count += has[k];
      if (sides[k].dc == -d.dc && sides[k].dr == -d.dr) entry = k;
    }
    if (entry < 0 || !has[entry]) return false;
    int exit = -1;
    if (count == 2) {
      for (int k = 0; k < 4; ++k)
        if (has[k] && k != entry) exit = k;
    } else if (count == 4) {
      const float tl = a_.Item(c, r).f, tr = a_.Item(c + 1, r).f, bl = a_.Item(c, r + 1).f, br = a_.Item(c + 1, r + 1).f;
      const bool mainDiagonal = ((tl + tr + bl + br) / 4 >= 0) == (tl >= 0);
      // Joined sides: (top, right) and (bottom, left), or (top, left) and (bottom, right).
      static const int cutCorners[2][4] = {{1, 0, 3, 2}, {3, 2, 1, 0}};
      exit = cutCorners[mainDiagonal ? 0 : 1][entry];
    }
    if (exit < 0) return false;
    const TEdge e = EdgeOf(c, r, sides[exit]);
    if (e == start) {
      closed = true;
      return true;
    }
    if (At(e).used) return false;
    next = e;
    c += sides[exit].dc;
    r += sides[exit].dr;
    d = sides[exit];
    return true;
  }

  std::vector<TIsoPoint> Trace(TEdge start, TDir d) {
    std::vector<TIsoPoint> pts;
    auto take = [&](const TEdge& e) {
      TCrossing& x = At(e);
      x.used = true;
      pts.push_back({x.x, x.y, x.flag});
    };
    take(start);
    int c = start.c, r = start.r;  // the cell below or to the right of the start edge
    const std::size_t limit = 2 * h_.size() + 2;
    while (pts.size() <= limit) {
      TEdge next{};
      bool closed = false;
      if (!Step(c, r, d, start, next, closed) || closed) break;
      take(next);
    }
    return pts;
  }

  const tarr_no& a_;
  int size_;
  std::vector<TCrossing> h_, v_;
};

TIsoPoint CatmullRom(const TIsoPoint& p0, const TIsoPoint& p1, const TIsoPoint& p2, const TIsoPoint& p3, double t) {
  auto axis = [t](double a0, double a1, double a2, double a3) {
    return a1 + t * (a2 - a0) / 2 + t * t * (a0 - 2.5 * a1 + 2 * a2 - 0.5 * a3) +
           t * t * t * (-0.5 * a0 + 1.5 * a1 - 1.5 * a2 + 0.5 * a3);
  };
  return {static_cast<float>(axis(p0.x, p1.x, p2.x, p3.x)), static_cast<float>(axis(p0.y, p1.y, p2.y, p3.y)), 5};
}

}  // namespace

std::vector<std::vector<TIsoPoint>> TraceContours(const tarr_no& nodes) {
  if (nodes.count < 2) return {};
  TTracer tracer(nodes);
  return tracer.TraceAll();
}

std::vector<TIsoPoint> SmoothContour(const std::vector<TIsoPoint>& line, float s) {
  const std::size_t n = line.size();
  std::vector<TIsoPoint> out;
  if (n < 2) return line;
  out.reserve(n * 2);
  for (std::size_t i = 0; i < n; ++i) {
    const TIsoPoint& p0 = line[(i + n - 1) % n];
    const TIsoPoint& p1 = line[i];
    const TIsoPoint& p2 = line[(i + 1) % n];
    const TIsoPoint& p3 = line[(i + 2) % n];
    const double length = std::max(std::fabs(p2.x - p1.x), std::fabs(p2.y - p1.y));
    if (!(length > s)) {
      out.push_back(p2);
      continue;
    }
    if (p1.flag == 0 && p2.flag == 0) {
      out.push_back({p2.x, p2.y, 0});
      continue;
    }
    // A point on the grid's edge stands in for its outer neighbour, so that
    // the line keeps to the edge there.
    const TIsoPoint& q0 = p1.flag == 0 ? p1 : p0;
    const TIsoPoint& q3 = p2.flag == 0 ? p2 : p3;
    const long m = std::max(1L, std::lround(length / s));
    for (long k = 1; k < m; ++k) out.push_back(CatmullRom(q0, p1, p2, q3, static_cast<double>(k) / m));
    out.push_back(p2);
  }
  return out;
}

namespace {

std::vector<TIsoPoint> Thinned(const std::vector<TIsoPoint>& line) {
  if (line.size() <= kThinTo) return line;
  std::vector<TIsoPoint> out;
  out.reserve(kThinTo + 1);
  const double n = static_cast<double>(line.size());
  for (std::size_t a = 0; a <= kThinTo; ++a)
    out.push_back(line[static_cast<std::size_t>(std::lround(static_cast<double>(a) * (n - 1) / kThinTo))]);
  return out;
}

std::unique_ptr<tisoline> MakeLine(const std::vector<TIsoPoint>& traced, float level, float spacing) {
  const std::vector<TIsoPoint> thin = Thinned(traced);
  std::vector<TIsoPoint> smooth = SmoothContour(thin, spacing);
  for (int k = 2; smooth.size() > kMaxSmoothed && k <= 1000; ++k) smooth = SmoothContour(thin, spacing * static_cast<float>(k));
  auto line = std::make_unique<tisoline>();
  line->level = level;
  line->spacing = spacing;
  if (!line->Allocate(static_cast<int>(smooth.size()) - 1)) return nullptr;
  line->onEdge.resize(smooth.size());
  for (std::size_t i = 0; i < smooth.size(); ++i) {
    line->SetPoint3(static_cast<int>(i), {smooth[i].x, smooth[i].y, 0});
    line->onEdge[i] = smooth[i].flag == 0;
  }
  const TBox3 box = line->Bounds();
  line->boxArea = static_cast<double>(box.max.x - box.min.x) * static_cast<double>(box.max.y - box.min.y);
  return line;
}

}  // namespace

std::unique_ptr<teliso> ComputeIsolux(const TLUM32& lum, double side, double height, double fluxFactor,
                                      std::string* error) {
  auto fail = [&](const std::string& text) -> std::unique_ptr<teliso> {
    if (error) *error = text;
    return nullptr;
  };
  auto inRange = [](double v) { return std::isfinite(v) && v >= kIsoluxMinLength && v <= kIsoluxMaxLength; };
  if (!inRange(side)) return fail("the side of the isolux area must lie between 0.01 m and 10000 m");
  if (!inRange(height)) return fail("the mounting height must lie between 0.01 m and 10000 m");
  if (!std::isfinite(fluxFactor) || fluxFactor < 0) return fail("the lamp flux must be a number not below 0");

  auto iso = std::make_unique<teliso>();
  const double a = side, h = height;
  iso->sideX = iso->sideY = static_cast<float>(a);
  iso->cellWidth = iso->cellHeight = static_cast<float>(a / kCells);
  for (float level : kIsoluxLevels) iso->defaultLevels.AddValue(level);
  if (!iso->grid.Allocate2D(kCells, kCells)) return fail("no memory for the isolux grid");
  for (int k = 1; k <= kCells; ++k)
    for (int i = 1; i <= kCells; ++i) {
      const double x = (i - 0.5) * a / kCells - a / 2, y = (k - 0.5) * a / kCells - a / 2;
      double d2 = x * x + y * y + h * h;
      if (d2 == 0) d2 = 0.01;
      const double d = std::sqrt(d2);
      // The floor point in the luminaire's axes: C 0 along x, C 90 along −z, y up.
      const TDirection dir = DirectionAngles(x, -h, -y);
      const double e = Finite(lum.Intensity(dir.gamma, dir.c)) * fluxFactor * (h / d) / d2;
      iso->grid.Set(i, k, static_cast<float>(std::max(0.0, Finite(e))));
    }

  int nx = iso->nodeCountX, ny = iso->nodeCountY;
  float cellH = iso->cellHeight, cellW = iso->cellWidth;
  iso->nodes = iso->grid.Resample(nx, ny, cellH, cellW, static_cast<float>(a), static_cast<float>(a));
  if (!iso->nodes) return fail("no memory for the isolux grid");
  iso->nodeCountX = nx;
  iso->nodeCountY = ny;
  iso->nodeCellWidth = cellW;
  iso->nodeCellHeight = cellH;
  // Every node of the resampled grid, edges included.
  iso->nodes->Bounds(iso->stats.min, iso->stats.max);
  iso->levels = IsoluxLevels(iso->stats.min, iso->stats.max);

  tarr_no array;
  const float half = static_cast<float>(a / 2);
  if (!array.Setup(*iso->nodes, nx + 1, -half, -half, cellW)) return iso;
  for (float level : iso->levels) {
    array.SetLevel(level);
    for (const std::vector<TIsoPoint>& traced : TraceContours(array)) {
      std::unique_ptr<tisoline> line = MakeLine(traced, level, array.spacing);
      if (line) iso->lines.AddOwned(std::move(line));
    }
  }
  iso->lines.SortIfAny();
  return iso;
}

}  // namespace kandelo
