// The catalogue record: 512 bytes that summarize one photometric file, read and
// written field by field (little-endian), and the six key strings built from it.
//
// Long file names. The record keeps the 12-character file-name field and key 6
// (file name + directory index, unique) as they always were. A file whose name
// has more than 12 characters - most files on Linux - is catalogued under an
// 8.3-style alias in that field, and its real name is kept in the reserved bytes
// 340..505 as a counted string of up to 165 characters:
//
//   alias = P P H H H H ~ S [. E E E]
//     P: the first two of the letters, digits, "_" and "-" of the upper-cased
//        name before its last dot, "_" where there are fewer;
//     H: four hex digits of a hash (FNV-1a, folded to 16 bits) of the exact
//        real name;
//     S: a sequence character 1..9, A..Z (35 values), the smallest one not yet
//        taken in that directory by another name with the same P and H;
//     E: the first three such characters of the upper-cased extension.
//
// A name of 12 characters or fewer is stored as it is, unless another file of
// the same directory already holds the same upper-cased name (two files whose
// names differ only in case, or a real file named like an alias): then it takes
// an alias as well. A file is found again by its real name (FindCatalogueFile):
// the stored name when the real-name bytes are empty, else those bytes. So a
// second scan of the same tree finds every record again and changes nothing,
// and two different names never share a key 6.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kandelo {

constexpr std::size_t kCatalogueRecordSize = 512;
constexpr int kCatalogueKeyCount = 6;
constexpr int kCatalogueSortKeyLength = 85;
constexpr int kCatalogueFileKeyLength = 16;
constexpr std::size_t kFileNameFieldWidth = 12;
constexpr std::size_t kMaxRealNameLength = 165;
constexpr int kAliasSequenceCount = 35;

// Byte offsets of the fields.
namespace catoff {
constexpr std::size_t FormatCode = 7, FileName = 8, LumName = 21, ShortNumber = 62;
constexpr std::size_t AreaLength = 78, AreaWidth = 80, AreaHeight = 82;
constexpr std::size_t LumLength = 84, LumWidth = 86, LumHeight = 88;
constexpr std::size_t LampType = 90, LampCount = 111, LampFlux = 112, LampWatt = 116;
constexpr std::size_t Manufacturer = 118, DistributionKind = 194, Symmetry = 195;
constexpr std::size_t Value196 = 196, Value198 = 198, Factor = 264, InfoLine = 268;
constexpr std::size_t BallastWatt = 309, LumNumber = 311, DirIndex = 336, RealName = 340;
constexpr std::size_t VersionLabel = 506;
}  // namespace catoff

// Counted strings inside a fixed layout: a length byte, then the characters. A
// length byte above the width (a damaged record) reads as the width. Writing
// cuts to the width and zeroes the unused characters.
std::string GetCounted(const unsigned char* rec, std::size_t offset, std::size_t width);
void PutCounted(unsigned char* rec, std::size_t offset, std::size_t width, std::string_view s);

struct TCatalogueRecord {
  std::array<unsigned char, kCatalogueRecordSize> bytes{};

  void Clear() { bytes.fill(0); }
  unsigned char* data() { return bytes.data(); }
  const unsigned char* data() const { return bytes.data(); }

  std::uint8_t FormatCode() const { return bytes[catoff::FormatCode]; }
  void SetFormatCode(std::uint8_t v) { bytes[catoff::FormatCode] = v; }
  // The 12-character field: the real name or its alias.
  std::string FileNameField() const { return GetCounted(data(), catoff::FileName, 12); }
  void SetFileNameField(std::string_view s) { PutCounted(data(), catoff::FileName, 12, s); }
  std::string LumName() const { return GetCounted(data(), catoff::LumName, 40); }
  void SetLumName(std::string_view s) { PutCounted(data(), catoff::LumName, 40, s); }
  std::string ShortNumber() const { return GetCounted(data(), catoff::ShortNumber, 15); }
  void SetShortNumber(std::string_view s) { PutCounted(data(), catoff::ShortNumber, 15, s); }
  std::int16_t GetI16(std::size_t offset) const;
  void SetI16(std::size_t offset, std::int16_t v);
  std::string LampType() const { return GetCounted(data(), catoff::LampType, 20); }
  void SetLampType(std::string_view s) { PutCounted(data(), catoff::LampType, 20, s); }
  std::uint8_t LampCount() const { return bytes[catoff::LampCount]; }
  void SetLampCount(std::uint8_t v) { bytes[catoff::LampCount] = v; }
  float LampFlux() const;
  void SetLampFlux(float v);
  std::string Manufacturer() const { return GetCounted(data(), catoff::Manufacturer, 25); }
  void SetManufacturer(std::string_view s) { PutCounted(data(), catoff::Manufacturer, 25, s); }
  std::uint8_t DistributionKind() const { return bytes[catoff::DistributionKind]; }
  void SetDistributionKind(std::uint8_t v) { bytes[catoff::DistributionKind] = v; }
  std::uint8_t Symmetry() const { return bytes[catoff::Symmetry]; }
  void SetSymmetry(std::uint8_t v) { bytes[catoff::Symmetry] = v; }
  float Factor() const;
  void SetFactor(float v);
  std::string InfoLine() const { return GetCounted(data(), catoff::InfoLine, 40); }
  void SetInfoLine(std::string_view s) { PutCounted(data(), catoff::InfoLine, 40, s); }
  std::string LumNumber() const { return GetCounted(data(), catoff::LumNumber, 24); }
  void SetLumNumber(std::string_view s) { PutCounted(data(), catoff::LumNumber, 24, s); }
  std::int32_t DirIndex() const;
  void SetDirIndex(std::int32_t v);
  // The real name of a file catalogued under an alias; empty otherwise.
  std::string RealNameField() const { return GetCounted(data(), catoff::RealName, kMaxRealNameLength); }
  void SetRealNameField(std::string_view s) { PutCounted(data(), catoff::RealName, kMaxRealNameLength, s); }
  std::string VersionLabel() const { return GetCounted(data(), catoff::VersionLabel, 5); }
  void SetVersionLabel(std::string_view s) { PutCounted(data(), catoff::VersionLabel, 5, s); }
};

// The name of the file on disk: the real-name bytes when set, else the field.
std::string CatalogueFileName(const TCatalogueRecord& rec);
// Sets the file name of a record: a name of up to 12 characters goes into the
// field as it is (real-name bytes cleared); a longer one is kept in the
// real-name bytes with its first alias in the field (FindCatalogueFile picks
// the final one). False when the name is empty or longer than 165 characters,
// which a record cannot hold.
bool SetCatalogueFileName(TCatalogueRecord& rec, std::string_view realName);
// Switches a record to an alias even for a short name (a name clash in case).
void UseAliasFor(TCatalogueRecord& rec, std::string_view realName);

// The alias of a real name with sequence number 1..35 (see above), and the
// first seven characters (P P H H H H ~) shared by all its sequence numbers.
std::string LongNameAlias(std::string_view realName, int sequence);
std::string AliasPrefix(std::string_view realName);
// Sequence number 1..35 of a sequence character, 0 for any other.
int AliasSequenceOf(char c);

// The four characters of a directory index in key 6: the 32-bit value with its
// sign bit inverted, most significant byte first, so that they sort numerically.
std::string DirectoryIndexKey(std::int32_t index);
std::int32_t DirectoryIndexFromKey(std::string_view fourChars);
// Key 6 of a file name and directory index.
std::string FileKey(std::string_view fileNameField, std::int32_t dirIndex);
// The checks a record in use must pass to be kept when the catalogue is
// rebuilt (and the fuzzers' target): empty when it can be an entry, else why
// not. They refuse what no record written by the program holds: a format code
// above 11, a file name that is empty, longer than its field, or holds a path
// separator or a control character, a negative directory index, or a text
// whose length byte exceeds its field. A damaged byte inside a text does not
// fail them: such a record still names its file.
std::string CheckCatalogueRecord(const unsigned char* rec);

// Key 1..6 of a record (the key callback of the catalogue file); empty for other numbers.
std::string CatalogueKey(const unsigned char* rec, int keyNo);
inline std::string CatalogueKey(const TCatalogueRecord& rec, int keyNo) { return CatalogueKey(rec.data(), keyNo); }

}  // namespace kandelo
