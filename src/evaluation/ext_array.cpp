#include "evaluation/ext_array.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
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

namespace {

constexpr bool kX87LongDouble =
    std::numeric_limits<long double>::digits == 64 && std::endian::native == std::endian::little;

// Where long double is the x87 type, a normal value or zero is the bytes
// themselves; ldexp on every cell made reading the transfer store dearer
// than building it. False for anything else (the portable decoding follows).
inline bool DecodeAsStored(const unsigned char* p, long double& v) {
  if constexpr (kX87LongDouble) {
    std::uint64_t mant;
    std::memcpy(&mant, p, 8);
    const int exp = (p[8] | (p[9] << 8)) & 0x7fff;
    if ((exp > 0 && exp < 0x7fff && (mant >> 63) != 0) || (exp == 0 && mant == 0)) {
      v = 0;
      std::memcpy(&v, p, 10);
      return true;
    }
  }
  return false;
}

}  // namespace

long double DecodeExtended(const unsigned char* p) {
  if (long double v; DecodeAsStored(p, v)) return v;
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
  // Decoded chunk by chunk from a buffer on the stack: no second heap block
  // of the file's size beside the cells.
  std::vector<long double> cells(std::size_t(rows) * cols);
  unsigned char buf[10 * 1024];
  std::size_t done = 0;
  while (done < total) {
    const std::size_t want = std::min(sizeof buf, total - done);
    std::size_t got = 0;
    while (got < want) {
      long long n = f->read(buf + got, want - got);
      if (n <= 0) throw EvaluationError("out of memory ");
      got += std::size_t(n);
    }
    for (std::size_t i = 0; i < want / 10; ++i) {
      long double& cell = cells[done / 10 + i];
      if (!DecodeAsStored(buf + 10 * i, cell)) cell = DecodeExtended(buf + 10 * i);
    }
    done += want;
  }
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
