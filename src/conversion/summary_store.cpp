#include "conversion/summary_store.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>

#include "platform/fileio.h"
#include "storage/checksum.h"

namespace kandelo {

namespace pf = kandelo::platform;

namespace {

// Header: "KSUM", layout version, header size and slot size (little endian).
constexpr char kMagic[4] = {'K', 'S', 'U', 'M'};
constexpr std::uint16_t kLayout = 2;

// Slot layout (little endian):
//   0  u32  check sum of bytes 4 .. 255 (storage/checksum.h)
//   4  u64  stamp of the entry
//  12  u8   1 = figures present, 2 = the file could not be read
//  13  u8   symmetry, 14 format, 15 lamp sets, 16 worst severity
//  17  u8   reserved
//  18  i32  problems (-1: not checked)
//  22  5    CIE flux code
//  27  8    LiTG class, NUL padded
//  40  14 × f64  flux, lamp flux, LOR, DFF, watt, efficacy, CCT, CRI, Imax,
//               beam C0, beam C90, UGR crosswise, UGR endwise, SHR
// 152  7 × f64  length, width, diameter, height, area length, width, diameter
// 208  i64  the file's size when the figures were computed (-1: not known)
// 216  i64  the file's modification time then, ns since the epoch
// 224  ..  255  zero
constexpr std::size_t kNumbersAt = 40, kDimensionsAt = 152, kFileAt = 208;

void PutU(unsigned char* p, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
std::uint64_t GetU(const unsigned char* p, int bytes) {
  std::uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= std::uint64_t(p[i]) << (8 * i);
  return v;
}
void PutF64(unsigned char* p, double v) { PutU(p, std::bit_cast<std::uint64_t>(v), 8); }
double GetF64(const unsigned char* p) { return std::bit_cast<double>(GetU(p, 8)); }

// The figures in slot order.
template <typename S, typename F>
void ForEachNumber(S& s, F f) {
  double* const numbers[] = {&s.luminaireFlux, &s.lampFlux, &s.lor,    &s.dff,     &s.watt,
                             &s.efficacy,      &s.cct,      &s.cri,    &s.imax,    &s.beamC0,
                             &s.beamC90,       &s.ugrCrosswise, &s.ugrEndwise, &s.shr};
  for (std::size_t i = 0; i < std::size(numbers); ++i) f(kNumbersAt + 8 * i, *numbers[i]);
  double* const dims[] = {&s.length, &s.width, &s.diameter, &s.height, &s.areaLength, &s.areaWidth, &s.areaDiameter};
  for (std::size_t i = 0; i < std::size(dims); ++i) f(kDimensionsAt + 8 * i, *dims[i]);
}

std::int64_t SlotOffset(std::int32_t recordNumber) {
  return std::int64_t(SummaryStore::kHeaderSize) + std::int64_t(recordNumber - 1) * std::int64_t(SummaryStore::kSlotSize);
}

std::array<unsigned char, SummaryStore::kHeaderSize> Header() {
  std::array<unsigned char, SummaryStore::kHeaderSize> h{};
  std::memcpy(h.data(), kMagic, 4);
  PutU(h.data() + 4, kLayout, 2);
  PutU(h.data() + 6, SummaryStore::kHeaderSize, 2);
  PutU(h.data() + 8, SummaryStore::kSlotSize, 2);
  return h;
}

}  // namespace

std::uint64_t SummaryStamp(const unsigned char* record) {
  // FNV-1a over the record.
  std::uint64_t h = 0xCBF29CE484222325ull;
  for (std::size_t i = 0; i < 512; ++i) h = (h ^ record[i]) * 0x100000001B3ull;
  return h;
}

SummaryStore::SummaryStore() = default;
SummaryStore::~SummaryStore() { Close(); }

std::string SummaryStore::PathFor(const std::string& catalogueBase) { return catalogueBase + ".SUM"; }

bool SummaryStore::Open(const std::string& path) {
  Close();
  auto f = pf::fs().open(path, pf::OpenMode::OpenOrCreate);
  if (!f) return false;
  const auto want = Header();
  std::array<unsigned char, kHeaderSize> have{};
  const long long got = f->readAt(0, have.data(), have.size());
  if (got != static_cast<long long>(have.size()) || have != want) {
    // New, cut or of another layout: every slot is started afresh. Another
    // station doing the same at once writes the same bytes.
    if (!f->truncate(0) || !f->writeAt(0, want.data(), want.size())) return false;
  }
  file_ = std::move(f);
  generation_ = pf::fileSystemGeneration();
  return true;
}

bool SummaryStore::DropIfStale() {
  if (!file_ || generation_ == pf::fileSystemGeneration()) return false;
  file_.reset();  // the handle's own descriptor is let go; its file system is not asked
  preloaded_.clear();
  return true;
}

void SummaryStore::Close() {
  if (file_ && !DropIfStale()) file_->close();
  file_.reset();
  preloaded_.clear();
}

bool SummaryStore::Preload() {
  if (!file_) return false;
  const std::int64_t size = file_->size();
  if (size < std::int64_t(kHeaderSize)) return false;
  std::vector<unsigned char> all(static_cast<std::size_t>(size));
  if (file_->readAt(0, all.data(), all.size()) != static_cast<long long>(all.size())) return false;
  preloaded_ = std::move(all);
  return true;
}

std::optional<StoredSummary> SummaryStore::Read(std::int32_t recordNumber, std::uint64_t stamp) const {
  if (!file_ || recordNumber < 1) return std::nullopt;
  std::array<unsigned char, kSlotSize> slot{};
  const std::int64_t at = SlotOffset(recordNumber);
  if (!preloaded_.empty()) {
    if (at + std::int64_t(kSlotSize) > std::int64_t(preloaded_.size())) return std::nullopt;
    std::memcpy(slot.data(), preloaded_.data() + at, kSlotSize);
  } else if (file_->readAt(at, slot.data(), slot.size()) != static_cast<long long>(slot.size())) {
    return std::nullopt;
  }
  if (GetU(slot.data(), 4) != isam::BlockChecksum(0, slot.data() + 4, kSlotSize - 4) || GetU(slot.data() + 4, 8) != stamp ||
      (slot[12] != 1 && slot[12] != 2))
    return std::nullopt;
  StoredSummary stored;
  stored.readable = slot[12] == 1;
  stored.file.size = static_cast<std::int64_t>(GetU(slot.data() + kFileAt, 8));
  stored.file.modifiedNs = static_cast<std::int64_t>(GetU(slot.data() + kFileAt + 8, 8));
  PhotometricSummary& s = stored.figures;
  s.symmetry = slot[13], s.format = slot[14], s.lampSets = slot[15], s.worst = slot[16];
  s.problems = static_cast<std::int32_t>(static_cast<std::uint32_t>(GetU(slot.data() + 18, 4)));
  std::memcpy(s.cieFluxCode.data(), slot.data() + 22, 5);
  const char* cls = reinterpret_cast<const char*>(slot.data() + 27);
  s.litgClass.assign(cls, strnlen(cls, 8));
  ForEachNumber(s, [&](std::size_t at, double& v) { v = GetF64(slot.data() + at); });
  return stored;
}

bool SummaryStore::WriteUnreadable(std::int32_t recordNumber, std::uint64_t stamp, FileMark file) {
  return WriteSlot(recordNumber, stamp, PhotometricSummary{}, file, 2);
}

bool SummaryStore::Write(std::int32_t recordNumber, std::uint64_t stamp, const PhotometricSummary& figures,
                         FileMark file) {
  return WriteSlot(recordNumber, stamp, figures, file, 1);
}

std::int32_t SummaryStore::SlotCount() const {
  if (!file_) return 0;
  const std::int64_t size = preloaded_.empty() ? file_->size() : std::int64_t(preloaded_.size());
  return size <= std::int64_t(kHeaderSize) ? 0 : std::int32_t((size - std::int64_t(kHeaderSize)) / std::int64_t(kSlotSize));
}

bool SummaryStore::WriteSlot(std::int32_t recordNumber, std::uint64_t stamp, const PhotometricSummary& figures,
                             FileMark file, unsigned char kind) {
  if (!file_ || recordNumber < 1) return false;
  std::array<unsigned char, kSlotSize> slot{};
  PutU(slot.data() + 4, stamp, 8);
  slot[12] = kind;
  slot[13] = figures.symmetry, slot[14] = figures.format, slot[15] = figures.lampSets, slot[16] = figures.worst;
  PutU(slot.data() + 18, static_cast<std::uint32_t>(figures.problems), 4);
  std::memcpy(slot.data() + 22, figures.cieFluxCode.data(), 5);
  std::memcpy(slot.data() + 27, figures.litgClass.data(), std::min<std::size_t>(figures.litgClass.size(), 8));
  PhotometricSummary copy = figures;
  ForEachNumber(copy, [&](std::size_t at, double& v) { PutF64(slot.data() + at, v); });
  PutU(slot.data() + kFileAt, static_cast<std::uint64_t>(file.size), 8);
  PutU(slot.data() + kFileAt + 8, static_cast<std::uint64_t>(file.modifiedNs), 8);
  PutU(slot.data(), isam::BlockChecksum(0, slot.data() + 4, kSlotSize - 4), 4);
  const std::int64_t at = SlotOffset(recordNumber);
  if (!file_->writeAt(at, slot.data(), slot.size())) return false;
  if (!preloaded_.empty()) {
    if (at + std::int64_t(kSlotSize) > std::int64_t(preloaded_.size())) preloaded_.resize(std::size_t(at) + kSlotSize);
    std::memcpy(preloaded_.data() + at, slot.data(), kSlotSize);
  }
  return true;
}

bool SummaryStore::Erase(std::int32_t recordNumber) {
  if (!file_ || recordNumber < 1) return false;
  if (file_->size() < SlotOffset(recordNumber) + std::int64_t(kSlotSize)) return true;  // never written
  const std::array<unsigned char, kSlotSize> empty{};
  const std::int64_t at = SlotOffset(recordNumber);
  if (!file_->writeAt(at, empty.data(), empty.size())) return false;
  if (at + std::int64_t(kSlotSize) <= std::int64_t(preloaded_.size())) std::memset(preloaded_.data() + at, 0, kSlotSize);
  return true;
}

}  // namespace kandelo
