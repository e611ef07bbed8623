#include "database/catalogue_list.h"

#include <algorithm>
#include <array>

#include "database/catalogue.h"
#include "database/isam.h"
#include "frame/scan.h"
#include "frame/strutil.h"
#include "platform/fileio.h"

namespace kandelo {

namespace pf = kandelo::platform;

const char* const kListTextHeader = "Hersteller\tLeuchtentyp\tLeuchtennummer\tDateiname\tFormat";

TListEntry ListEntryOf(const TCatalogueRecord& rec) {
  TListEntry e;
  e.manufacturer = rec.Manufacturer();
  e.name = rec.LumName();
  e.number = rec.LumNumber();
  e.fileName = CatalogueFileName(rec);
  e.format = FormatDisplayName(rec.FormatCode());
  e.info = TrimBlanks(rec.InfoLine());
  return e;
}

std::optional<std::vector<TListEntry>> ReadListFile(const std::string& path) {
  const auto bytes = pf::readWholeFile(path);
  if (!bytes) return std::nullopt;
  std::vector<TListEntry> out;
  out.reserve(bytes->size() / kCatalogueRecordSize);
  TCatalogueRecord rec;
  for (std::size_t at = 0; at + kCatalogueRecordSize <= bytes->size(); at += kCatalogueRecordSize) {
    std::copy_n(bytes->data() + at, kCatalogueRecordSize, rec.bytes.begin());
    out.push_back(ListEntryOf(rec));
  }
  return out;
}

std::string ListTextPath() { return ChangeFileExt(isam::DataFilePath(CatalogueBasePath()), ".TXT"); }

namespace {

// Appends a counted string of the record as it is stored (a damaged length
// byte reads as the width, as GetCounted does).
void AppendCounted(std::string& out, const unsigned char* rec, std::size_t offset, std::size_t width) {
  const std::size_t n = std::min<std::size_t>(rec[offset], width);
  out.append(reinterpret_cast<const char*>(rec + offset + 1), n);
}

}  // namespace

bool WriteListText(const std::string& listFile, const std::string& textFile, std::string& error) {
  const auto bytes = pf::readWholeFile(listFile);
  if (!bytes) {
    error = "cannot read " + listFile;
    return false;
  }
  // Straight from the records' bytes into the text: a list of a large
  // catalogue is written in about the time its records take to walk.
  static const std::array<std::string, 256> formats = [] {
    std::array<std::string, 256> f;
    for (int i = 0; i < 256; ++i) f[static_cast<std::size_t>(i)] = FormatDisplayName(i);
    return f;
  }();
  const std::size_t n = bytes->size() / kCatalogueRecordSize;
  std::string text;
  text.reserve(64 + n * 96);
  text += kListTextHeader;
  text += "\r\n";
  for (std::size_t i = 0; i < n; ++i) {
    const auto* rec = reinterpret_cast<const unsigned char*>(bytes->data() + i * kCatalogueRecordSize);
    AppendCounted(text, rec, catoff::Manufacturer, 25);
    text += '\t';
    AppendCounted(text, rec, catoff::LumName, 40);
    text += '\t';
    AppendCounted(text, rec, catoff::LumNumber, 24);
    text += '\t';
    if (rec[catoff::RealName] != 0) AppendCounted(text, rec, catoff::RealName, kMaxRealNameLength);
    else AppendCounted(text, rec, catoff::FileName, kFileNameFieldWidth);
    text += '\t';
    text += formats[rec[catoff::FormatCode]];
    text += "\r\n";
  }
  if (!pf::writeFileAtomic(textFile, text)) {
    error = "cannot write " + textFile;
    return false;
  }
  pf::fs().removeFile(listFile);
  return true;
}

}  // namespace kandelo
