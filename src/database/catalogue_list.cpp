#include "database/catalogue_list.h"

#include <algorithm>
#include <array>
#include <memory>

#include "database/catalogue.h"
#include "storage/isam.h"
#include "frame/strutil.h"
#include "photometry/format_io.h"
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

namespace {

const std::array<std::string, 256>& formatNames() {
  static const std::array<std::string, 256> formats = [] {
    std::array<std::string, 256> f;
    for (int i = 0; i < 256; ++i) f[static_cast<std::size_t>(i)] = FormatDisplayName(i);
    return f;
  }();
  return formats;
}

// One line of the text list, straight from the record's bytes.
void AppendListLine(std::string& text, const unsigned char* rec) {
  AppendCounted(text, rec, catoff::Manufacturer, 25);
  text += '\t';
  AppendCounted(text, rec, catoff::LumName, 40);
  text += '\t';
  AppendCounted(text, rec, catoff::LumNumber, 24);
  text += '\t';
  if (rec[catoff::RealName] != 0)
    AppendCounted(text, rec, catoff::RealName, kMaxRealNameLength);
  else
    AppendCounted(text, rec, catoff::FileName, kFileNameFieldWidth);
  text += '\t';
  text += formatNames()[rec[catoff::FormatCode]];
  text += "\r\n";
}

// The text file written in blocks through an atomic writer, so a failed write
// leaves no partial file.
class TextListWriter {
 public:
  explicit TextListWriter(const std::string& path) : out_(path) {
    text_.reserve(kBlock + 512);
    text_ += kListTextHeader;
    text_ += "\r\n";
  }
  bool Add(const unsigned char* rec) {
    AppendListLine(text_, rec);
    return text_.size() < kBlock || Spill();
  }
  bool Finish() { return Spill() && out_.commit(); }
  pf::WriteError Error() const { return out_.error(); }

 private:
  static constexpr std::size_t kBlock = 256 * 1024;
  bool Spill() {
    const bool ok = out_.write(text_);
    text_.clear();
    return ok;
  }
  pf::AtomicFileWriter out_;
  std::string text_;
};

}  // namespace

bool WriteListText(const std::string& listFile, const std::string& textFile, std::string& error) {
  const auto bytes = pf::readWholeFile(listFile);
  if (!bytes) {
    error = "cannot read " + listFile;
    return false;
  }
  TextListWriter out(textFile);
  bool ok = true;
  for (std::size_t at = 0; ok && at + kCatalogueRecordSize <= bytes->size(); at += kCatalogueRecordSize)
    ok = out.Add(reinterpret_cast<const unsigned char*>(bytes->data() + at));
  if (!ok || !out.Finish()) {
    error = "cannot write " + textFile;
    return false;
  }
  pf::fs().removeFile(listFile);
  return true;
}

std::int32_t ExportListText(int keyNo, bool all, const std::string& from, const std::string& prefix,
                            const std::string& textFile, std::string& error, pf::WriteError* why) {
  if (!Catalogue()) {
    error = "the catalogue is not open";
    return -1;
  }
  TextListWriter out(textFile);
  bool written = true;
  const std::int32_t count = WalkListEntries(keyNo, all, from, prefix, [&](const unsigned char* rec) {
    written = out.Add(rec);
    return written;
  });
  if (count < 0 && written) {
    error = "cannot read the catalogue";
    return -1;
  }
  if (count == 0) return 0;  // nothing listed: no text file
  if (!written || !out.Finish()) {
    error = "cannot write " + textFile;
    if (why) *why = out.Error();
    return -1;
  }
  return count;
}

}  // namespace kandelo
