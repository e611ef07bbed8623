#include "evaluation/ext_array.h"

#include <cerrno>
#include <cmath>
#include <limits>

#include "evaluation/coeff_tables.h"
#include "frame/strutil.h"
#include "platform/fileio.h"

namespace kandelo {

std::array<unsigned char, 10> EncodeExtended(long double x) {
  std::array<unsigned char, 10> b{};
  std::uint16_t signExp = std::signbit(x) ? 0x8000 : 0;
  std::uint64_t mant = 0;
  if (std::isnan(x)) {
    signExp |= 0x7fff;
    mant = 0xC000000000000000ull;
  } else if (std::isinf(x)) {
    signExp |= 0x7fff;
    mant = 0x8000000000000000ull;
  } else if (x != 0) {
    int e = 0;
    long double m = std::frexp(std::fabs(x), &e);  // [0.5, 1)
    int biased = e - 1 + 16383;
    if (biased >= 0x7fff) {
      signExp |= 0x7fff;
      mant = 0x8000000000000000ull;
    } else if (biased > 0) {
      signExp |= std::uint16_t(biased);
      mant = static_cast<std::uint64_t>(std::ldexp(m, 64));
    }  // values below the normal range are stored as 0
  }
  for (int i = 0; i < 8; ++i) b[i] = static_cast<unsigned char>(mant >> (8 * i));
  b[8] = static_cast<unsigned char>(signExp);
  b[9] = static_cast<unsigned char>(signExp >> 8);
  return b;
}

long double DecodeExtended(const unsigned char* p) {
  std::uint64_t mant = 0;
  for (int i = 0; i < 8; ++i) mant |= std::uint64_t(p[i]) << (8 * i);
  std::uint16_t signExp = std::uint16_t(p[8] | (p[9] << 8));
  bool negative = signExp & 0x8000;
  int exp = signExp & 0x7fff;
  long double v;
  if (exp == 0x7fff) {
    v = (mant << 1) == 0 ? std::numeric_limits<long double>::infinity()
                         : std::numeric_limits<long double>::quiet_NaN();
  } else {
    v = std::ldexp(static_cast<long double>(mant), exp - 16383 - 63);
  }
  return negative ? -v : v;
}

TExtArray::TExtArray(std::uint16_t rows, std::uint16_t columns)
    : rows_(rows), cols_(columns), cells_(std::size_t(rows) * columns, 0.0L) {}

void TExtArray::SetItem(int row, int column, long double value) {
  if (column < 0 || column >= cols_) throw EvaluationError("Col too large ! " + std::to_string(column));
  if (row < 0 || row >= rows_) throw EvaluationError("Row too large ! " + std::to_string(row));
  cells_[std::size_t(row) * cols_ + std::size_t(column)] = value;
}

long double TExtArray::GetItem(int row, int column) const {
  if (row < 0 || column < 0 || row >= rows_ || column >= cols_) return 0.0L;
  return cells_[std::size_t(row) * cols_ + std::size_t(column)];
}

void TExtArray::LoadFromFile(const std::string& name) {
  auto f = platform::fs().open(name, platform::OpenMode::Read);
  if (!f) throw EvaluationError("File does not exist ");
  unsigned char head[4];
  if (f->read(head, 4) != 4) throw EvaluationError("out of memory ");
  std::uint16_t rows = GetU16(head), cols = GetU16(head + 2);
  // All rows in one buffer: one read instead of one per row.
  const std::size_t total = std::size_t(rows) * cols * 10;
  // The counts are checked against the file before anything is allocated: a
  // damaged header must not ask for gigabytes.
  if (f->size() < static_cast<std::int64_t>(4 + total)) throw EvaluationError("out of memory ");
  std::vector<unsigned char> buf(total);
  std::size_t got = 0;
  while (got < total) {
    long long n = f->read(buf.data() + got, total - got);
    if (n <= 0) throw EvaluationError("out of memory ");
    got += std::size_t(n);
  }
  std::vector<long double> cells(std::size_t(rows) * cols);
  for (std::size_t i = 0; i < cells.size(); ++i) cells[i] = DecodeExtended(buf.data() + 10 * i);
  rows_ = rows;
  cols_ = cols;
  cells_ = std::move(cells);
}

void TExtArray::SaveToFile(const std::string& name) const {
  std::string bytes(4 + cells_.size() * 10, '\0');
  auto* p = reinterpret_cast<unsigned char*>(bytes.data());
  PutU16(p, rows_);
  PutU16(p + 2, cols_);
  for (std::size_t i = 0; i < cells_.size(); ++i) {
    auto e = EncodeExtended(cells_[i]);
    std::copy(e.begin(), e.end(), p + 4 + 10 * i);
  }
  auto& fs = platform::fs();
  const std::string tmp = name + ".tmp";
  errno = 0;
  auto f = fs.open(tmp, platform::OpenMode::Create);
  if (!f) throw EvaluationError("filerr : " + std::to_string(errno));
  bool ok = f->write(bytes.data(), bytes.size()) && f->flush();
  ok = f->close() && ok;
  ok = ok && fs.renameFile(tmp, name);
  if (!ok) {
    fs.removeFile(tmp);
    throw EvaluationError("error writing file " + name);
  }
}

}  // namespace kandelo
