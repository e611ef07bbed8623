// TExtArray: a two-dimensional array of extended reals, with a file form of
// 80-bit x87 extended values (u16 rows, u16 columns, then every row as
// columns × 10 bytes, all little-endian). It keeps the transfer store.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kandelo {

// The 10-byte x87 extended form of a value and back (portable: built from
// sign, exponent and a 64-bit mantissa, so it does not rely on long double
// being the x87 type).
std::array<unsigned char, 10> EncodeExtended(long double x);
long double DecodeExtended(const unsigned char* p);

class TExtArray {
 public:
  // rows × columns zero cells; rows and columns count from 0.
  TExtArray(std::uint16_t rows, std::uint16_t columns);
  std::uint16_t Rows() const { return rows_; }
  std::uint16_t Cols() const { return cols_; }
  // Throws EvaluationError "Col too large ! <col>" (tested first) or
  // "Row too large ! <row>".
  void SetItem(int row, int column, long double value);
  // 0 outside the array. Inline: the store is read cell by cell.
  long double GetItem(int row, int column) const {
    if (row < 0 || column < 0 || row >= rows_ || column >= cols_) return 0.0L;
    return cells_[std::size_t(row) * cols_ + std::size_t(column)];
  }

  // Replaces the content with the file's. Throws "File does not exist " when
  // it cannot be opened and "out of memory " when the header or the rows
  // cannot be read (a file shorter than its counts say).
  void LoadFromFile(const std::string& name);
  // Writes through a temporary file renamed over the target, so that an
  // interrupted write leaves the previous file whole. Throws "filerr : <n>"
  // when the file cannot be created and "error writing file <name>" on any
  // other failure.
  void SaveToFile(const std::string& name) const;

 private:
  std::uint16_t rows_, cols_;
  std::vector<long double> cells_;
};

}  // namespace kandelo
