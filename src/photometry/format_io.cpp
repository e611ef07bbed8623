// The format table, the reader order and the file naming of conversions.
#include "photometry/format_io.h"

#include <algorithm>

#include "frame/msgmanager.h"
#include "frame/strutil.h"
#include "platform/fileio.h"
#include "platform/text.h"

namespace kandelo {

const std::array<FormatInfo, 12>& ExportFormats() {
  static const std::array<FormatInfo, 12> table = {{
      {0, "EULUM-DAT", ".LDT", 1, true},
      {1, "LUM (QVM)", ".LUM", 0, true},
      {2, "LUM32 (QVM)", ".L32", 2, true},
      {3, "EULUM-DAT", ".LDT", 0, false},
      {4, "TM14", ".CIB", 3, true},
      {5, "IES LM63/86", ".IES", 4, true},
      {6, "IES LM63/91", ".IES", 5, false},
      {7, "IES LM63/95", ".IES", 6, false},
      {8, "Calculux", ".", 0, true},
      {9, "LTLI", ".LTL", 7, true},
      {10, "Phillum", ".PHL", 0, true},
      {11, "N/A", ".XXX", 0, false},
  }};
  return table;
}

const FormatInfo& FormatByCode(std::uint8_t code) { return ExportFormats()[code < 12 ? code : 11]; }

const std::array<std::uint8_t, 7>& SaveFilterCodes() {
  static const std::array<std::uint8_t, 7> codes = [] {
    std::array<std::uint8_t, 7> c{};
    for (const FormatInfo& f : ExportFormats())
      if (f.saveFilterIndex > 0) c[static_cast<std::size_t>(f.saveFilterIndex - 1)] = f.code;
    return c;
  }();
  return codes;
}

std::string FormatDisplayName(int code) { return code >= 0 && code < 12 ? ExportFormats()[code].name : "N/A"; }
std::string FormatExtension(int code) { return code >= 0 && code < 12 ? ExportFormats()[code].extension : ""; }

namespace {

// One "name - files|*.ext" pair for each format code, in the order given.
std::string FileTypes(const TMsgManager& msgs, const std::vector<std::uint8_t>& codes, bool withAll) {
  const std::string files = msgs.GetText("Files", "LBL_FILES");
  std::string out;
  for (std::uint8_t code : codes) {
    if (!out.empty()) out += '|';
    out += Cut(std::string(FormatByCode(code).name) + " - ", 18);
    out += files;
    out += "|*";
    out += FormatByCode(code).extension;
  }
  if (withAll) out += '|' + msgs.GetText("Files", "LBL_ALL") + ' ' + files + "|*.*";
  return out;
}

}  // namespace

std::string OpenFileTypes(const TMsgManager& msgs) {
  std::vector<std::uint8_t> codes;
  for (const FormatInfo& f : ExportFormats())
    if (f.openFilter) codes.push_back(f.code);
  return FileTypes(msgs, codes, true);
}

std::string SaveFileTypes(const TMsgManager& msgs) {
  const auto& codes = SaveFilterCodes();
  return FileTypes(msgs, {codes.begin(), codes.end()}, false);
}

namespace {

const std::array<const char*, 11> kKnownExt = {".LDT", ".PIN", ".LVE", ".LUM", ".L32", ".IES",
                                               ".CIB", ".LTL", ".PHL", ".MSX", ".LTM"};

// Extensions replaced when saving in a format (the others are kept).
std::vector<std::string> ReplacedExtensions(std::uint8_t code) {
  switch (code) {
    case fmtEulumdat:
    case fmtEulumdat2:
      return {".LUM", ".L32", ".MSX", ".LTM", ".IES", ".CIB", ".LTL", ".PHL"};
    case fmtLum32:
      return {".LDT", ".PIN", ".LVE", ".LUM", ".IES", ".CIB", ".LTL", ".PHL"};
    case fmtTm14:
      return {".LUM", ".L32", ".LDT", ".PIN", ".LVE", ".IES", ".LTL", ".PHL"};
    case fmtIes86:
    case fmtIes91:
    case fmtIes95:
      return {".LUM", ".L32", ".LDT", ".PIN", ".LVE", ".CIB", ".LTL", ".PHL"};
    default:
      return {};
  }
}

}  // namespace

bool IsKnownPhotometricExtension(std::string_view ext) {
  std::string u = platform::upper1252(ext);
  return std::find(kKnownExt.begin(), kKnownExt.end(), u) != kKnownExt.end();
}

std::string TargetNameForFormat(const std::string& name, std::uint8_t formatCode) {
  std::string ext = platform::upper1252(ExtractFileExt(name));
  const FormatInfo& f = FormatByCode(formatCode);
  if (ext.empty() || ext == ".") {
    // "leuchte." has only the dot: the format's extension takes its place.
    std::string base = name;
    if (!base.empty() && base.back() == '.') base.pop_back();
    return base + f.extension;
  }
  auto replaced = ReplacedExtensions(formatCode);
  if (std::find(replaced.begin(), replaced.end(), ext) != replaced.end())
    return ChangeFileExt(name, f.extension);
  return name;
}

std::string ConversionTargetName(const std::string& sourcePath, std::uint8_t sourceFormat,
                                 const std::string& dstDir, const std::string& dstExt) {
  // The whole last component (ExtractName would cut long names).
  std::string last = sourcePath.substr(sourcePath.find_last_of("/\\") + 1);
  std::string base;
  if (sourceFormat == fmtLtli) {
    // LTLI files are numbered by their extension ("A1234.001"): keep the digits.
    auto dot = last.find('.');
    if (dot != std::string::npos) last.erase(dot, 1);
    base = last.size() < 9 ? last : last.substr(0, 8);
  } else {
    base = ChangeFileExt(last, "");
  }
  return AddBackslash(dstDir) + base + "." + dstExt;
}

const std::vector<FormatIo>& ReaderTable() {
  static const std::vector<FormatIo> table = {
      {"LDT", fmtEulumdat, &ReadLDT}, {"LTL", fmtLtli, &ReadLTLI}, {"IES", fmtIes86, &ReadIES},
      {"CIB", fmtTm14, &ReadTM14},    {"L32", fmtLum32, &ReadL32}, {"LUM", fmtLum, &ReadLUM},
  };
  return table;
}

const FormatIo* ReaderForExtension(std::string_view extKey) {
  // LTLI files carry numbers as extensions; ".LTL" itself does not pick the reader.
  if (extKey == "LTL") return nullptr;
  for (const FormatIo& f : ReaderTable())
    if (extKey == f.extKey) return &f;
  return nullptr;
}

const FormatIo* ReaderForContent(const std::string& path) {
  auto h = platform::fs().open(path, platform::OpenMode::Read);
  if (!h) return nullptr;
  char head[64] = {};
  const long long n = h->read(head, sizeof head);
  if (n <= 0) return nullptr;
  std::string_view s(head, static_cast<std::size_t>(n));
  if (s.substr(0, 3) == "\xEF\xBB\xBF") s.remove_prefix(3);
  auto reader = [](std::uint8_t code) -> const FormatIo* {
    for (const FormatIo& f : ReaderTable())
      if (f.code == code) return &f;
    return nullptr;
  };
  const std::string upper = platform::upper1252(s.substr(0, 16));
  if (upper.rfind("CIBSE/", 0) == 0) return reader(fmtTm14);
  if (upper.rfind("IESNA", 0) == 0 || upper.rfind("IES:LM-63", 0) == 0) return reader(fmtIes86);
  if (s.size() >= 25 && s[18] == 6 && s.substr(19, 6) == "QVMLUM") return reader(fmtLum32);
  if (s.size() >= 25 && ((s[18] == 6 && s.substr(19, 6) == "VARRAY") || (s[14] == 6 && s.substr(15, 6) == "LARRAY")))
    return reader(fmtLum);
  return nullptr;
}

WriterFn WriterForCode(std::uint8_t code) {
  switch (code) {
    case fmtEulumdat:
    case fmtEulumdat2:
      return &WriteLDT;
    case fmtLum32:
      return &WriteL32;
    case fmtTm14:
      return &WriteTM14;
    case fmtIes86:
    case fmtIes91:
    case fmtIes95:
      return &WriteIES;
    default:
      return nullptr;
  }
}

std::string ExtensionKey(const std::string& name) {
  std::string ext = ExtractFileExt(name);
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  return platform::upper1252(ext.substr(0, 3));
}

LoadResult LoadLuminaire(const std::string& path, TLUM32& lum, LoadValues values) {
  LoadResult result;
  auto fail = [&](LoadFault fault) {
    lum.Clear();
    lum.SetFileName(path);
    lum.FormatCode = fmtUnknown;
    result.fault = fault;
    return result;
  };
  // Nothing was read: the luminaire is left empty, without a file name.
  auto missing = [&](LoadFault fault, const char* text) {
    lum.Clear();
    result.messages.error(text + path);
    result.fault = fault;
    return result;
  };
  auto notFound = [&] { return missing(LoadFault::NotFound, "file not found : "); };
  if (path.empty()) return notFound();
  // A reader that cannot open the file says "not mine" without a message, so
  // whether the file is there at all is asked only when no reader took it: a
  // file that loads costs no extra look at the disk.

  // Each reader starts from a cleared luminaire, and so does a failure, so
  // that what a reader filled before it found the file not to be its own
  // cannot leak into the next.
  auto attempt = [&](const FormatIo& f) {
    lum.Clear();
    lum.SetFileName(path);
    return f.read(lum, result.messages);
  };
  auto finish = [&](ReadResult r) {
    if (r.status != ReadStatus::Ok) return fail(r.status == ReadStatus::Failed ? LoadFault::Damaged : LoadFault::Unknown);
    // Whatever the format, a table the flux integral would overflow (a value
    // of 1e308, or a multiplier of it, clamped into the singles) is refused
    // here rather than shown with an infinite flux.
    if (!lum.ValuesInRange()) {
      result.messages.error("values out of range (above 1e30 or no number) : " + path);
      return fail(LoadFault::OutOfRange);
    }
    lum.FormatCode = r.code;
    lum.Valid = 1;
    result.format = r.code;
    if (values == LoadValues::Derived) {
      if (!lum.FluxValid) lum.CalcFlux();
      lum.FindMaxIntensity();
    }
    // Whichever computation met them (a reader may compute the flux too).
    if (const auto& w = lum.PlaneWeightsUnbalanced())
      result.messages.warning(UnbalancedWeightsText(*w) + " : " + path);
    return result;
  };

  const FormatIo* byExt = ReaderForExtension(ExtensionKey(path));
  if (!byExt) byExt = ReaderForContent(path);
  if (byExt) {
    ReadResult r = attempt(*byExt);
    // A file the reader recognised but could not read has its message;
    // other readers would only add confusing ones.
    if (r.status != ReadStatus::NotMine) return finish(r);
  }
  for (const FormatIo& f : ReaderTable()) {
    if (&f == byExt) continue;  // it already said "not mine"
    ReadResult r = attempt(f);
    if (r.status != ReadStatus::NotMine) return finish(r);
  }
  const auto attributes = platform::fs().attributes(path);
  if (!attributes || (*attributes & platform::faDirectory)) return notFound();
  if (*attributes & platform::faSysFile)  // a FIFO or device: never opened, never waited on
    return missing(LoadFault::NotRegular, "not a regular file : ");
  return finish(NotMine());
}

}  // namespace kandelo
