#include "database/catalogue_list.h"

#include <algorithm>

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

std::string ListText(const std::vector<TListEntry>& entries) {
  std::string text;
  text.reserve(64 + entries.size() * 96);
  text += kListTextHeader;
  text += "\r\n";
  for (const TListEntry& e : entries) {
    for (const std::string* f : {&e.manufacturer, &e.name, &e.number, &e.fileName}) {
      text += *f;
      text += '\t';
    }
    text += e.format;
    text += "\r\n";
  }
  return text;
}

std::string ListTextPath() { return ChangeFileExt(isam::DataFilePath(CatalogueBasePath()), ".TXT"); }

bool WriteListText(const std::string& listFile, const std::string& textFile, std::string& error) {
  const auto entries = ReadListFile(listFile);
  if (!entries) {
    error = "cannot read " + listFile;
    return false;
  }
  if (!pf::writeFileAtomic(textFile, ListText(*entries))) {
    error = "cannot write " + textFile;
    return false;
  }
  pf::fs().removeFile(listFile);
  return true;
}

}  // namespace kandelo
