// Data objects of the vector object model: one- and two-dimensional blocks of
// singles, 2-D integer points and 3-D points; 2-D and 3-D polylines; grids of
// singles with bilinear interpolation, statistics, node-grid resampling, an
// optional cell mask and cell sizes.
//
// A block allocated for (n, m) holds (n + 1) × (m + 1) items addressed
// (column 0 … n, row 0 … m); m = 0 is a one-dimensional block. Grids use
// columns and rows from 1 and keep index 0 for the border of node grids.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/vecobj.h"

namespace kandelo {

// Largest block a data object allocates, in items; larger requests are refused.
constexpr std::int64_t kMaxDataItems = std::int64_t{1} << 24;

class tdata_class : public tbaseobject {
 public:
  virtual int ItemSize() const = 0;
  // One-dimensional block of n + 1 items; frees the old block first. False
  // (and no block) when n < 0 or the block would pass kMaxDataItems.
  bool Allocate(int n) { return Allocate2D(n, 0); }
  virtual bool Allocate2D(int n, int m) = 0;
  // Highest item index n (0 without a block) and highest row index m.
  int HighIndex() const { return n_; }
  int HighRow() const { return m_; }
  bool HasBlock() const { return hasBlock_; }

 protected:
  bool CheckSize(int n, int m);
  int n_ = 0, m_ = 0;
  bool hasBlock_ = false;
};

// Storage shared by the three item types.
template <typename T>
class tdata_block : public tdata_class {
 public:
  int ItemSize() const override { return static_cast<int>(sizeof(T)); }
  bool Allocate2D(int n, int m) override {
    items_.clear();
    if (!CheckSize(n, m)) return false;
    items_.assign(static_cast<std::size_t>(n + 1) * static_cast<std::size_t>(m + 1), T{});
    return true;
  }
  void Fill(const T& item) { std::fill(items_.begin(), items_.end(), item); }
  // Item (i, row); unchecked like the block it stands for, but the callers
  // stay inside 0 … n, 0 … m.
  T& Item(int i, int row = 0) { return items_[Index(i, row)]; }
  const T& Item(int i, int row = 0) const { return items_[Index(i, row)]; }
  bool Contains(int i, int row) const { return hasBlock_ && i >= 0 && i <= n_ && row >= 0 && row <= m_; }
  const std::vector<T>& Items() const { return items_; }

 protected:
  std::size_t Index(int i, int row) const {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(n_ + 1) + static_cast<std::size_t>(i);
  }
  std::vector<T> items_;
};

class tdata_sg : public tdata_block<float> {
 public:
  // Smallest and largest single, starting from 10 000 000 and −10 000 000.
  void Bounds(float& lo, float& hi) const;
  std::unique_ptr<tbaseobject> Copy() const override { return std::make_unique<tdata_sg>(*this); }
};

class tdata_tp : public tdata_block<TPoint> {
 public:
  TBox2 Bounds() const;
  std::unique_ptr<tbaseobject> Copy() const override { return std::make_unique<tdata_tp>(*this); }
};

// A 2-D polyline in device units, with one integer attribute.
class tline_tp : public tdata_tp {
 public:
  TPoint GetPoint(int i) const { return Item(i); }
  void SetPoint(int i, TPoint p) { Item(i) = p; }
  int NumPoints() const { return HasBlock() ? HighIndex() + 1 : 0; }
  int attribute = 0;
  std::unique_ptr<tbaseobject> Copy() const override { return std::make_unique<tline_tp>(*this); }
  void Dump() const override;
};

class tdata_3d : public tdata_block<TVector3> {
 public:
  TBox3 Bounds() const;
  std::unique_ptr<tbaseobject> Copy() const override { return std::make_unique<tdata_3d>(*this); }
};

// A 3-D polyline.
class tline_3d : public tdata_3d {
 public:
  void SetPoint3(int i, const TVector3& v) { Item(i) = v; }
  float GetX(int i) const { return Item(i).x; }
  float GetZ(int i) const { return Item(i).z; }
  int NumPoints() const { return HasBlock() ? HighIndex() + 1 : 0; }
  bool GetBox(TBox3& box) const override;
  // Every point times the matrix, with the homogeneous divide.
  void ApplyMatrix(const TMatrix4& m) override;
  void MovePose(const TVector3& p1, const TVector3& a1, const TVector3& p2, const TVector3& a2) override;
  std::unique_ptr<tbaseobject> Copy() const override { return std::make_unique<tline_3d>(*this); }
};

struct TGridStats {
  float min = 1000000, max = -1000000, mean = 0;
  float minByMean = 0, minByMax = 0;  // 0 when the divisor is 0
};

class tarr_sg_skx_sky;

// A grid of singles: cells (column 1 … n, row 1 … m).
class tarr_sg : public tdata_sg {
 public:
  float Get(int column, int row) const { return Item(column, row); }
  void Set(int column, int row, float v) { Item(column, row) = v; }
  virtual TGridStats Statistics() const;
  TGridStats RowStatistics(int row) const;
  // Bilinear value at the fractional column x and row y; the missing
  // neighbours at the highest column or row are the value itself. Positions
  // outside the grid are moved onto its edge.
  virtual float Interpolate(float y, float x) const;
  // The values on the corners between the cells (indices 0 … n, 0 … m),
  // with the given cell sizes.
  std::unique_ptr<tarr_sg_skx_sky> NodeGrid(float cellHeight, float cellWidth) const;
  // Resamples the area height × width, covered by this grid's cells of the
  // given sizes, onto a square step: the smaller of width/nx and height/ny.
  // nx, ny and the cell sizes come back as those of the result, whose value
  // (i, j) lies at (i·cellWidth, j·cellHeight). nullptr for an empty grid or
  // a result that would pass kMaxDataItems.
  virtual std::unique_ptr<tarr_sg> Resample(int& nx, int& ny, float& cellHeight, float& cellWidth, float height,
                                            float width) const;
  void FillTestPattern() override;
  void WriteTo(std::FILE* f) const override;
  std::int64_t ByteSize() const override;
  void ReadFrom(std::FILE* f) override;
  void Dump() const override;
  std::unique_ptr<tbaseobject> Copy() const override { return std::make_unique<tarr_sg>(*this); }

 protected:
  TGridStats StatsOver(int row0, int row1, bool masked) const;
  virtual bool CellInside(int, int) const { return true; }
  virtual void MaskNodes(tarr_sg&) const {}
};

// A grid with a cell mask: one bit per cell, bit 7 of each byte first.
class tarr_sg_masked : public tarr_sg {
 public:
  struct TMask {
    bool active = false;
    std::vector<std::uint8_t> bits;
    int bytesPerRow = 0;
  };
  std::unique_ptr<TMask> mask;  // may be absent

  // A mask of the grid's size with every bit set.
  void CreateMask();
  void SetMaskBit(int i, int j, bool on);
  // A bit outside the mask's storage reads as set.
  bool MaskBit(int i, int j) const;
  // Inside when the mask is absent or inactive, or bits (i, j) and (i − 1, j − 1) are set.
  bool CellInside(int i, int j) const override;
  TGridStats Statistics() const override { return StatsOver(1, m_, true); }
  TGridStats MaskedRowStatistics(int row) const { return StatsOver(row, row, true); }
  std::unique_ptr<tbaseobject> Copy() const override;

 protected:
  // Nodes whose mask bit is clear become −10 000 000 before resampling.
  void MaskNodes(tarr_sg& nodes) const override;
};

// A grid with its cell sizes; Interpolate takes world positions.
class tarr_sg_skx_sky : public tarr_sg_masked {
 public:
  float cellWidth = 1, cellHeight = 1;
  float Interpolate(float y, float x) const override;
  std::unique_ptr<tbaseobject> Copy() const override;
};

}  // namespace kandelo
