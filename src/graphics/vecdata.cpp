#include "graphics/vecdata.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kandelo {

bool tdata_class::CheckSize(int n, int m) {
  hasBlock_ = false;
  n_ = m_ = 0;
  if (n < 0 || m < 0) return false;
  if ((std::int64_t{n} + 1) * (std::int64_t{m} + 1) > kMaxDataItems) return false;
  n_ = n;
  m_ = m;
  hasBlock_ = true;
  return true;
}

void tdata_sg::Bounds(float& lo, float& hi) const {
  lo = 10000000;
  hi = -10000000;
  for (float v : items_) {
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
}

TBox2 tdata_tp::Bounds() const {
  TBox2 b;
  for (TPoint p : items_) GrowBox2(b, p);
  return b;
}

void tline_tp::Dump() const {
  for (int i = 0; i < NumPoints(); ++i) std::printf("%d: %d %d\n", i, Item(i).x, Item(i).y);
}

TBox3 tdata_3d::Bounds() const {
  TBox3 b;
  for (const TVector3& p : items_) GrowBox(b, p);
  return b;
}

bool tline_3d::GetBox(TBox3& box) const {
  box = Bounds();
  return true;
}

void tline_3d::ApplyMatrix(const TMatrix4& m) {
  for (TVector3& p : items_) p = TransformPoint(m, p);
}

void tline_3d::MovePose(const TVector3& p1, const TVector3& a1, const TVector3& p2, const TVector3& a2) {
  TMatrix4 m;
  if (PoseMatrix(p1, a1, p2, a2, m)) ApplyMatrix(m);
}

// ---- tarr_sg -----------------------------------------------------------------

TGridStats tarr_sg::StatsOver(int row0, int row1, bool masked) const {
  TGridStats s;
  if (!hasBlock_) return s;
  double sum = 0;
  std::int64_t count = 0;
  for (int j = std::max(row0, 1); j <= std::min(row1, m_); ++j)
    for (int i = 1; i <= n_; ++i) {
      if (masked && !CellInside(i, j)) continue;
      const float v = Get(i, j);
      s.min = std::min(s.min, v);
      s.max = std::max(s.max, v);
      sum += v;
      ++count;
    }
  s.mean = count ? static_cast<float>(sum / static_cast<double>(count)) : 0.0f;
  s.minByMean = s.mean != 0 ? s.min / s.mean : 0.0f;
  s.minByMax = s.max != 0 ? s.min / s.max : 0.0f;
  return s;
}

TGridStats tarr_sg::Statistics() const { return StatsOver(1, m_, false); }

TGridStats tarr_sg::RowStatistics(int row) const { return StatsOver(row, row, false); }

float tarr_sg::Interpolate(float y, float x) const {
  if (!hasBlock_) return 0;
  const double xc = std::clamp(static_cast<double>(x), 0.0, static_cast<double>(n_));
  const double yc = std::clamp(static_cast<double>(y), 0.0, static_cast<double>(m_));
  const int c = static_cast<int>(xc), r = static_cast<int>(yc);
  const bool right = c < n_, below = r < m_;
  const double q00 = Get(c, r);
  const double q10 = right ? Get(c + 1, r) : q00;
  const double q01 = below ? Get(c, r + 1) : q00;
  const double q11 = right && below ? Get(c + 1, r + 1) : q00;
  const double fx = xc - c, fy = yc - r;
  const double a = q00 + (q10 - q00) * fx, b = q01 + (q11 - q01) * fx;
  return static_cast<float>(a + (b - a) * fy);
}

std::unique_ptr<tarr_sg_skx_sky> tarr_sg::NodeGrid(float cellHeight, float cellWidth) const {
  auto nodes = std::make_unique<tarr_sg_skx_sky>();
  nodes->cellWidth = cellWidth;
  nodes->cellHeight = cellHeight;
  if (!hasBlock_ || n_ < 1 || m_ < 1 || !nodes->Allocate2D(n_, m_)) return nodes;
  const int n = n_, m = m_;
  auto cell = [&](int i, int j) { return Get(std::clamp(i, 1, n), std::clamp(j, 1, m)); };
  auto node = [&](int i, int j) -> float& { return nodes->Item(i, j); };
  auto extrapolated = [](float v) { return v < 0 ? 0.0f : v; };
  // One cell across: the cells themselves stand in for the missing inner nodes.
  auto inner = [&](int i, int j) {
    return n >= 2 && m >= 2 ? node(std::clamp(i, 1, n - 1), std::clamp(j, 1, m - 1)) : cell(i, j);
  };
  for (int j = 1; j <= m - 1; ++j)
    for (int i = 1; i <= n - 1; ++i) node(i, j) = (cell(i, j) + cell(i + 1, j) + cell(i, j + 1) + cell(i + 1, j + 1)) / 4;
  for (int i = 1; i <= n - 1; ++i) {
    node(i, 0) = extrapolated(cell(i, 1) + cell(i + 1, 1) - inner(i, 1));
    node(i, m) = extrapolated(cell(i, m) + cell(i + 1, m) - inner(i, m - 1));
  }
  for (int j = 1; j <= m - 1; ++j) {
    node(0, j) = extrapolated(cell(1, j) + cell(1, j + 1) - inner(1, j));
    node(n, j) = extrapolated(cell(n, j) + cell(n, j + 1) - inner(n - 1, j));
  }
  node(0, 0) = extrapolated(2 * cell(1, 1) - inner(1, 1));
  node(n, 0) = extrapolated(2 * cell(n, 1) - inner(n - 1, 1));
  node(n, m) = extrapolated(2 * cell(n, m) - inner(n - 1, m - 1));
  node(0, m) = extrapolated(2 * cell(1, m) - inner(1, m - 1));
  return nodes;
}

std::unique_ptr<tarr_sg> tarr_sg::Resample(int& nx, int& ny, float& cellHeight, float& cellWidth, float height,
                                           float width) const {
  if (!hasBlock_ || nx <= 0 || ny <= 0 || !(width > 0) || !(height > 0)) return nullptr;
  const std::unique_ptr<tarr_sg_skx_sky> nodes = NodeGrid(cellHeight, cellWidth);
  if (!nodes->HasBlock()) return nullptr;
  MaskNodes(*nodes);
  const double step = std::min(static_cast<double>(width) / nx, static_cast<double>(height) / ny);
  const double cx = std::round(width / step), cy = std::round(height / step);
  if (!(cx >= 1 && cy >= 1 && (cx + 1) * (cy + 1) <= static_cast<double>(kMaxDataItems))) return nullptr;
  nx = static_cast<int>(cx);
  ny = static_cast<int>(cy);
  cellWidth = width / static_cast<float>(nx);
  cellHeight = height / static_cast<float>(ny);
  auto out = std::make_unique<tarr_sg>();
  if (!out->Allocate2D(nx, ny)) return nullptr;
  for (int j = 0; j <= ny; ++j)
    for (int i = 0; i <= nx; ++i) out->Set(i, j, nodes->Interpolate(j * cellHeight, i * cellWidth));
  return out;
}

void tarr_sg::FillTestPattern() {
  for (int j = 1; j <= m_; ++j)
    for (int i = 1; i <= n_; ++i) Set(i, j, static_cast<float>(6 * i + 6 * j));
}

void tarr_sg::WriteTo(std::FILE* f) const {
  if (!f || !hasBlock_) return;
  for (int j = 0; j <= m_; ++j) std::fwrite(&Item(0, j), sizeof(float), static_cast<std::size_t>(n_ + 1), f);
}

std::int64_t tarr_sg::ByteSize() const {
  return hasBlock_ ? 4 * (std::int64_t{n_} + 1) * (std::int64_t{m_} + 1) : 0;
}

void tarr_sg::ReadFrom(std::FILE* f) {
  if (!f || !hasBlock_) return;
  for (int j = 0; j <= m_; ++j) {
    // A short file leaves the rest of the row as it was.
    if (std::fread(&Item(0, j), sizeof(float), static_cast<std::size_t>(n_ + 1), f) == 0) return;
  }
}

void tarr_sg::Dump() const {
  for (int j = 0; j <= m_ && hasBlock_; ++j) {
    for (int i = 0; i <= n_; ++i) std::printf(" %g", static_cast<double>(Get(i, j)));
    std::printf("\n");
  }
}

// ---- masks ---------------------------------------------------------------------

void tarr_sg_masked::CreateMask() {
  mask = std::make_unique<TMask>();
  mask->active = true;
  mask->bytesPerRow = (n_ + 1 + 7) / 8;
  mask->bits.assign(static_cast<std::size_t>(mask->bytesPerRow) * static_cast<std::size_t>(m_ + 1), 0xFF);
}

void tarr_sg_masked::SetMaskBit(int i, int j, bool on) {
  if (!mask || i < 0 || j < 0 || i / 8 >= mask->bytesPerRow) return;
  const std::size_t byte = static_cast<std::size_t>(j) * static_cast<std::size_t>(mask->bytesPerRow) + static_cast<std::size_t>(i / 8);
  if (byte >= mask->bits.size()) return;
  const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (i % 8));
  if (on)
    mask->bits[byte] |= bit;
  else
    mask->bits[byte] = static_cast<std::uint8_t>(mask->bits[byte] & ~bit);
}

bool tarr_sg_masked::MaskBit(int i, int j) const {
  if (!mask || i < 0 || j < 0 || i / 8 >= mask->bytesPerRow) return true;
  const std::size_t byte = static_cast<std::size_t>(j) * static_cast<std::size_t>(mask->bytesPerRow) + static_cast<std::size_t>(i / 8);
  if (byte >= mask->bits.size()) return true;
  return (mask->bits[byte] & (0x80 >> (i % 8))) != 0;
}

bool tarr_sg_masked::CellInside(int i, int j) const {
  if (!mask || !mask->active) return true;
  return MaskBit(i, j) && MaskBit(i - 1, j - 1);
}

void tarr_sg_masked::MaskNodes(tarr_sg& nodes) const {
  if (!mask || !mask->active) return;
  for (int j = 0; j <= nodes.HighRow(); ++j)
    for (int i = 0; i <= nodes.HighIndex(); ++i)
      if (!MaskBit(i, j)) nodes.Set(i, j, -10000000.0f);
}

std::unique_ptr<tbaseobject> tarr_sg_masked::Copy() const {
  auto c = std::make_unique<tarr_sg_masked>();
  static_cast<tarr_sg&>(*c) = *this;
  if (mask) c->mask = std::make_unique<TMask>(*mask);
  return c;
}

float tarr_sg_skx_sky::Interpolate(float y, float x) const {
  return tarr_sg::Interpolate(cellHeight != 0 ? y / cellHeight : 0, cellWidth != 0 ? x / cellWidth : 0);
}

std::unique_ptr<tbaseobject> tarr_sg_skx_sky::Copy() const {
  auto c = std::make_unique<tarr_sg_skx_sky>();
  static_cast<tarr_sg&>(*c) = *this;
  if (mask) c->mask = std::make_unique<TMask>(*mask);
  c->cellWidth = cellWidth;
  c->cellHeight = cellHeight;
  return c;
}

}  // namespace kandelo
