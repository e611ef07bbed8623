#include "database/catalogue_record.h"

#include <algorithm>

#include "frame/strutil.h"
#include "platform/text.h"

namespace kandelo {

namespace {

constexpr std::string_view kSequenceChars = "123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
static_assert(kSequenceChars.size() == kAliasSequenceCount);

// Key part of a text field: cut, upper case, trimmed, padded; appended to
// the key without a string of its own (keys are made for every record added).
void appendKeyPart(std::string& key, std::string_view text, std::size_t width) {
  text = text.substr(0, width);
  std::size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) < 33) ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) < 33) --e;
  for (std::size_t i = b; i < e; ++i) key += platform::upperChar1252(text[i]);
  key.append(width - (e - b), ' ');
}

std::string keyPart(std::string_view text, std::size_t width) {
  std::string key;
  appendKeyPart(key, text, width);
  return key;
}

std::string_view countedView(const unsigned char* rec, std::size_t offset, std::size_t width) {
  return {reinterpret_cast<const char*>(rec + offset + 1), std::min<std::size_t>(rec[offset], width)};
}

bool aliasChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-'; }

std::string aliasChars(std::string_view s, std::size_t n) {
  std::string out;
  for (char c : platform::upper1252(s)) {
    if (out.size() == n) break;
    if (aliasChar(c)) out += c;
  }
  return out;
}

// Stem and extension split at the last dot; a leading dot belongs to the stem.
std::pair<std::string_view, std::string_view> splitName(std::string_view name) {
  auto dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return {name, {}};
  return {name.substr(0, dot), name.substr(dot + 1)};
}

std::uint16_t nameHash(std::string_view s) {
  std::uint32_t h = 2166136261u;
  for (unsigned char c : s) {
    h ^= c;
    h *= 16777619u;
  }
  return static_cast<std::uint16_t>((h >> 16) ^ (h & 0xFFFFu));
}

}  // namespace

std::string GetCounted(const unsigned char* rec, std::size_t offset, std::size_t width) {
  std::size_t n = std::min<std::size_t>(rec[offset], width);
  return std::string(reinterpret_cast<const char*>(rec + offset + 1), n);
}

void PutCounted(unsigned char* rec, std::size_t offset, std::size_t width, std::string_view s) {
  std::size_t n = std::min(s.size(), width);
  rec[offset] = static_cast<unsigned char>(n);
  std::fill(rec + offset + 1, rec + offset + 1 + width, 0);
  std::copy_n(s.data(), n, rec + offset + 1);
}

std::int16_t TCatalogueRecord::GetI16(std::size_t offset) const {
  return static_cast<std::int16_t>(GetU16(data() + offset));
}
void TCatalogueRecord::SetI16(std::size_t offset, std::int16_t v) {
  PutU16(data() + offset, static_cast<std::uint16_t>(v));
}
float TCatalogueRecord::LampFlux() const { return GetF32(data() + catoff::LampFlux); }
void TCatalogueRecord::SetLampFlux(float v) { PutF32(data() + catoff::LampFlux, v); }
float TCatalogueRecord::Factor() const { return GetF32(data() + catoff::Factor); }
void TCatalogueRecord::SetFactor(float v) { PutF32(data() + catoff::Factor, v); }
std::int32_t TCatalogueRecord::DirIndex() const { return GetI32(data() + catoff::DirIndex); }
void TCatalogueRecord::SetDirIndex(std::int32_t v) { PutI32(data() + catoff::DirIndex, v); }

std::string CatalogueFileName(const TCatalogueRecord& rec) {
  std::string real = rec.RealNameField();
  return real.empty() ? rec.FileNameField() : real;
}

bool SetCatalogueFileName(TCatalogueRecord& rec, std::string_view realName) {
  if (realName.empty() || realName.size() > kMaxRealNameLength) return false;
  if (realName.size() <= kFileNameFieldWidth) {
    rec.SetFileNameField(realName);
    rec.SetRealNameField({});
  } else {
    UseAliasFor(rec, realName);
  }
  return true;
}

void UseAliasFor(TCatalogueRecord& rec, std::string_view realName) {
  rec.SetRealNameField(realName);
  rec.SetFileNameField(LongNameAlias(realName, 1));
}

std::string AliasPrefix(std::string_view realName) {
  static const char* hex = "0123456789ABCDEF";
  std::string p = aliasChars(splitName(realName).first, 2);
  p.append(2 - p.size(), '_');
  std::uint16_t h = nameHash(realName);
  for (int shift = 12; shift >= 0; shift -= 4) p += hex[(h >> shift) & 0xF];
  return p + "~";
}

std::string LongNameAlias(std::string_view realName, int sequence) {
  sequence = std::clamp(sequence, 1, kAliasSequenceCount);
  std::string alias = AliasPrefix(realName) + kSequenceChars[static_cast<std::size_t>(sequence - 1)];
  std::string ext = aliasChars(splitName(realName).second, 3);
  if (!ext.empty()) alias += "." + ext;
  return alias;
}

int AliasSequenceOf(char c) {
  auto i = kSequenceChars.find(c);
  return i == std::string_view::npos ? 0 : static_cast<int>(i) + 1;
}

std::string DirectoryIndexKey(std::int32_t index) {
  std::uint32_t u = static_cast<std::uint32_t>(index) ^ 0x80000000u;
  std::string k(4, '\0');
  for (int i = 0; i < 4; ++i) k[static_cast<std::size_t>(i)] = static_cast<char>((u >> (24 - 8 * i)) & 0xFF);
  return k;
}

std::int32_t DirectoryIndexFromKey(std::string_view k) {
  if (k.size() < 4) return -1;
  std::uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u = (u << 8) | static_cast<unsigned char>(k[static_cast<std::size_t>(i)]);
  return static_cast<std::int32_t>(u ^ 0x80000000u);
}

std::string FileKey(std::string_view fileNameField, std::int32_t dirIndex) {
  return keyPart(fileNameField, kFileNameFieldWidth) + DirectoryIndexKey(dirIndex);
}

std::string CheckCatalogueRecord(const unsigned char* rec) {
  if (rec[catoff::FormatCode] > 11) return "format code " + std::to_string(rec[catoff::FormatCode]);
  auto nameFault = [](std::string_view name) -> const char* {
    for (unsigned char c : name)
      if (c < 32 || c == '/' || c == 127) return "a control character or a path separator";
    return nullptr;
  };
  const unsigned nameLength = rec[catoff::FileName];
  if (nameLength == 0 || nameLength > kFileNameFieldWidth) return "file name length " + std::to_string(nameLength);
  if (const char* f = nameFault(countedView(rec, catoff::FileName, kFileNameFieldWidth)))
    return std::string("file name with ") + f;
  if (rec[catoff::RealName] > kMaxRealNameLength)
    return "real name length " + std::to_string(rec[catoff::RealName]);
  if (const char* f = nameFault(countedView(rec, catoff::RealName, kMaxRealNameLength)))
    return std::string("real name with ") + f;
  if (GetI32(rec + catoff::DirIndex) < 0) return "directory index " + std::to_string(GetI32(rec + catoff::DirIndex));
  struct Text {
    std::size_t offset, width;
  };
  for (const Text t : {Text{catoff::LumName, 40}, Text{catoff::ShortNumber, 15}, Text{catoff::LampType, 20},
                       Text{catoff::Manufacturer, 25}, Text{catoff::InfoLine, 40}, Text{catoff::LumNumber, 24},
                       Text{catoff::VersionLabel, 5}})
    if (rec[t.offset] > t.width)
      return "text length " + std::to_string(rec[t.offset]) + " at offset " + std::to_string(t.offset);
  return {};
}

std::string CatalogueKey(const unsigned char* rec, int keyNo) {
  if (keyNo == 6) return FileKey(GetCounted(rec, catoff::FileName, 12), GetI32(rec + catoff::DirIndex));
  if (keyNo < 1 || keyNo > 5) return {};
  const char code = static_cast<char>(rec[catoff::FormatCode]);
  std::string key;
  key.reserve(kCatalogueSortKeyLength);
  auto name = [&] { appendKeyPart(key, countedView(rec, catoff::LumName, 40), 24); };
  auto number = [&] { appendKeyPart(key, countedView(rec, catoff::LumNumber, 24), 24); };
  auto file = [&] { appendKeyPart(key, countedView(rec, catoff::FileName, 12), 12); };
  auto maker = [&] { appendKeyPart(key, countedView(rec, catoff::Manufacturer, 25), 24); };
  switch (keyNo) {
    case 1: name(), number(), file(), maker(), key += code; break;
    case 2: number(), name(), file(), maker(), key += code; break;
    case 3: file(), name(), number(), maker(), key += code; break;
    case 4: key += code, name(), number(), file(), maker(); break;
    default: maker(), name(), number(), file(), key += code; break;
  }
  return key;
}

}  // namespace kandelo
