// The coefficient tables of the evaluations: resources of type 257, numbers
// 1 … 9, embedded from resources/tables/ in the TSglArray stream layout
// (u16 rows, u16 columns, then row by row little-endian singles), and the UGR
// reference shapes. tools/gen_coeff_tables.cpp makes them.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kandelo {

// Failure inside an evaluation computation, with its fixed English text
// ("programming error", "LiTG factors not found", ...). Caught by the entry
// operations; never leaves the layer.
class EvaluationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A read-only table of singles. Cells outside the table read 0, so that a
// short or damaged resource never reads past its end. Copies share the cells,
// so that every computation can hold the tables of the process cheaply.
class CoeffTable {
 public:
  CoeffTable() = default;
  CoeffTable(std::uint32_t rows, std::uint32_t cols, std::vector<float> cells)
      : rows_(rows), cols_(cols), cells_(std::make_shared<const std::vector<float>>(std::move(cells))),
        data_(cells_->data()) {}
  // nullopt when the bytes are shorter than the counts say.
  static std::optional<CoeffTable> FromStream(std::string_view bytes);
  std::uint32_t Rows() const { return rows_; }
  std::uint32_t Cols() const { return cols_; }
  bool Empty() const { return rows_ == 0 || cols_ == 0; }
  float At(long row, long col) const {
    if (row < 0 || col < 0 || row >= long(rows_) || col >= long(cols_)) return 0.0f;
    return data_[std::size_t(row) * cols_ + std::size_t(col)];
  }
  // True when both are copies of one loaded table.
  bool SharesCells(const CoeffTable& other) const { return cells_ && cells_ == other.cells_; }

 private:
  std::uint32_t rows_ = 0, cols_ = 0;
  std::shared_ptr<const std::vector<float>> cells_;
  const float* data_ = nullptr;
};

// Embedded path of resource 257/number ("tables/257_<number>.sgl").
std::string CoeffResourcePath(int number);
// The resource, or nullopt when it is missing or broken; decoded once per
// process and shared. Tests may replace the source of the bytes (see
// SetCoeffResourceOverride); while they do, every call decodes afresh.
std::optional<CoeffTable> LoadCoeffTable(int number);
// The 15 UGR reference shapes, 90 × 6 (shape a in rows 6a … 6a + 5 by Y,
// columns by X over 2, 3, 4, 6, 8, 12); nullopt when missing.
std::optional<CoeffTable> LoadUgrShapes();

// Test hook: when set, LoadCoeffTable(number) takes its bytes from here
// (nullopt = resource missing). Reset with an empty function.
using CoeffResourceSource = std::optional<std::string> (*)(int number);
void SetCoeffResourceOverride(CoeffResourceSource source);

}  // namespace kandelo
