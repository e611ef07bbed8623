// TSglArray: a rectangular table of 4-byte floats. It holds the intensity
// table of a luminaire and the coefficient tables embedded as resources.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kandelo {

class TSglArray {
 public:
  // rows x columns cells, all 0. Both counts must be 1 … 65536.
  // Returns nullptr when the memory cannot be had or a count is outside the
  // range; the caller words the message (readers: "out of memory !").
  static std::unique_ptr<TSglArray> Create(std::uint32_t rows, std::uint32_t columns);

  // Stream form: u16 rows, u16 columns (little-endian), then rows x columns
  // floats row by row. nullptr when the data are too short or a count is 0.
  static std::unique_ptr<TSglArray> FromStream(std::string_view bytes);
  // Builds the array from the embedded table "tables/257_<number>.sgl"
  // (the numbered resources 1 … 9); nullptr when it is missing or broken.
  static std::unique_ptr<TSglArray> FromResource(int number);
  // The stream form of this array (inverse of FromStream; counts above
  // 65535 cannot be written and give an empty string).
  std::string ToStream() const;

  std::uint16_t LastRow() const { return static_cast<std::uint16_t>(rows_ - 1); }
  std::uint16_t LastCol() const { return static_cast<std::uint16_t>(cols_ - 1); }
  std::uint32_t Rows() const { return rows_; }
  std::uint32_t Cols() const { return cols_; }

  // Checked access: the column is checked before the row. A bad index shows
  // an error box ("SetItem : Col too large ! 12" …) and does nothing; reads give 0.
  void SetItem(std::uint16_t row, std::uint16_t col, float value);
  float GetItem(std::uint16_t row, std::uint16_t col) const;
  std::uint32_t GetItemBits(std::uint16_t row, std::uint16_t col) const;
  // The row's cells (Cols() of them); nullptr after the error box for a bad row.
  float* GetRow(std::uint16_t row);
  const float* GetRow(std::uint16_t row) const;

  // Unchecked access for loops whose indices are known to be inside.
  float At(std::uint32_t row, std::uint32_t col) const { return cells_[std::size_t(row) * cols_ + col]; }
  float& At(std::uint32_t row, std::uint32_t col) { return cells_[std::size_t(row) * cols_ + col]; }

 private:
  TSglArray(std::uint32_t rows, std::uint32_t cols) : rows_(rows), cols_(cols) {}
  std::uint32_t rows_ = 0;
  std::uint32_t cols_ = 0;
  // One block row-major instead of a list of row buffers: same addressing,
  // one allocation.
  std::vector<float> cells_;
};

// Owning pointer that copies the array along with its owner.
class TSglArrayPtr : public std::unique_ptr<TSglArray> {
 public:
  using std::unique_ptr<TSglArray>::unique_ptr;
  TSglArrayPtr() = default;
  TSglArrayPtr(std::unique_ptr<TSglArray> p) : std::unique_ptr<TSglArray>(std::move(p)) {}
  TSglArrayPtr(const TSglArrayPtr& o)
      : std::unique_ptr<TSglArray>(o ? std::make_unique<TSglArray>(*o) : nullptr) {}
  TSglArrayPtr& operator=(const TSglArrayPtr& o) {
    if (this != &o) reset(o ? new TSglArray(*o) : nullptr);
    return *this;
  }
  TSglArrayPtr(TSglArrayPtr&&) = default;
  TSglArrayPtr& operator=(TSglArrayPtr&&) = default;
  TSglArrayPtr& operator=(std::unique_ptr<TSglArray>&& p) {
    std::unique_ptr<TSglArray>::operator=(std::move(p));
    return *this;
  }
};

}  // namespace kandelo
