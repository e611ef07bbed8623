#include "photometry/sglarray.h"

#include <cstring>
#include <new>

#include "frame/strutil.h"
#include "platform/program_fault.h"
#include "platform/resources.h"

namespace kandelo {
namespace {

constexpr std::uint32_t kMaxDim = 65536;

void IndexError(const char* what, unsigned index) {
  platform::reportProgramFault(std::string(what) + std::to_string(index));
}

}  // namespace

std::unique_ptr<TSglArray> TSglArray::Create(std::uint32_t rows, std::uint32_t columns) {
  if (rows == 0 || columns == 0 || rows > kMaxDim || columns > kMaxDim) return nullptr;
  std::unique_ptr<TSglArray> a(new TSglArray(rows, columns));
  try {
    a->cells_.assign(std::size_t(rows) * columns, 0.0f);
  } catch (const std::bad_alloc&) {  // the caller reports it
    return nullptr;
  }
  return a;
}

std::unique_ptr<TSglArray> TSglArray::FromStream(std::string_view bytes) {
  if (bytes.size() < 4) return nullptr;
  auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::uint32_t rows = GetU16(p), cols = GetU16(p + 2);
  if (rows == 0 || cols == 0) return nullptr;
  // Checked before allocating: the counts come from the data.
  if (bytes.size() - 4 < std::uint64_t(rows) * cols * 4) return nullptr;
  auto a = Create(rows, cols);
  if (!a) return nullptr;
  const unsigned char* q = p + 4;
  for (auto& cell : a->cells_) {
    cell = GetF32(q);
    q += 4;
  }
  return a;
}

std::unique_ptr<TSglArray> TSglArray::FromResource(int number) {
  auto data = platform::EmbeddedFile("tables/257_" + std::to_string(number) + ".sgl");
  if (!data) return nullptr;
  return FromStream(*data);
}

std::string TSglArray::ToStream() const {
  if (rows_ > 65535 || cols_ > 65535) return {};
  std::string out(4 + cells_.size() * 4, '\0');
  auto* p = reinterpret_cast<unsigned char*>(out.data());
  PutU16(p, static_cast<std::uint16_t>(rows_));
  PutU16(p + 2, static_cast<std::uint16_t>(cols_));
  unsigned char* q = p + 4;
  for (float v : cells_) {
    PutF32(q, v);
    q += 4;
  }
  return out;
}

void TSglArray::SetItem(std::uint16_t row, std::uint16_t col, float value) {
  if (col >= cols_) return IndexError("SetItem : Col too large ! ", col);
  if (row >= rows_) return IndexError("SetItem : Row too large ! ", row);
  At(row, col) = value;
}

float TSglArray::GetItem(std::uint16_t row, std::uint16_t col) const {
  if (col >= cols_) return IndexError("GetItem : Col too large ! ", col), 0.0f;
  if (row >= rows_) return IndexError("GetItem : Row too large ! ", row), 0.0f;
  return At(row, col);
}

std::uint32_t TSglArray::GetItemBits(std::uint16_t row, std::uint16_t col) const {
  float v = GetItem(row, col);
  std::uint32_t bits;
  std::memcpy(&bits, &v, 4);
  return bits;
}

float* TSglArray::GetRow(std::uint16_t row) {
  if (row >= rows_) return IndexError("GetRow : Row too large ! ", row), nullptr;
  return &cells_[std::size_t(row) * cols_];
}

const float* TSglArray::GetRow(std::uint16_t row) const {
  return const_cast<TSglArray*>(this)->GetRow(row);
}

}  // namespace kandelo
