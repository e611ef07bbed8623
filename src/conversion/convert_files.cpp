#include "conversion/convert_files.h"

#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "conversion/staging_dir.h"
#include "database/catalogue.h"
#include "database/catalogue_record.h"
#include "evaluation/export_ugr.h"
#include "evaluation/litg.h"
#include "evaluation/tm5.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "photometry/conversion.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "platform/fileio.h"

namespace kandelo {

namespace pf = kandelo::platform;

static_assert(fmtLum32 == 2 && fmtEulumdat == 0 && fmtTm14 == 4 && fmtIes86 == 5 && fmtIes95 == 7 && fmtLtli == 9,
              "the destination list names the export-format table's codes");

std::string ConvertedFileName(const std::string& source, std::uint8_t sourceFormat,
                              const ConversionSettings& settings) {
  return ConversionTargetName(source, sourceFormat, settings.DstDir, settings.DstExt);
}

namespace {

std::string lastComponent(const std::string& path) {
  auto i = path.find_last_of("/\\");
  return i == std::string::npos ? path : path.substr(i + 1);
}

// Below this, a failed write is taken for a full medium and the run stops.
constexpr std::uint64_t kFullBelow = 1 << 20;

// Loads a file and keeps its messages: a batch lists them with the file
// instead of stopping at a box for each.
bool loadQuietly(TLUM32& lum, const std::string& name, std::string& messages) {
  LoadResult loaded;
  try {
    lum.OemTexts = 1;
    loaded = LoadLuminaire(name, lum, LoadValues::AsRead);
  } catch (const std::exception&) {  // no memory for a table that claims to be huge
    loaded.fault = LoadFault::Damaged;
  }
  messages = loaded.messages.joined();
  return loaded.ok() && lum.Valid;
}

// Adds the written file to the catalogue or rewrites its record; 1 added,
// 2 updated, 0 failed.
int storeRecord(TLUM32& lum, const std::string& target, std::uint8_t code, std::int32_t dirIndex) {
  TCatalogueRecord rec;
  const std::string old = lum.FileName;
  lum.SetFileName(target);
  const bool named = FillCatalogueRecord(lum, rec);
  lum.SetFileName(old);
  if (!named) return 0;
  rec.SetFormatCode(code);
  rec.SetDirIndex(dirIndex);
  std::int32_t recNo = 0;
  if (FindCatalogueFile(rec, recNo)) return UpdateCatalogueRecord(rec, recNo) ? 2 : 0;
  if (recNo == kNoFreeAlias) return 0;
  return AddCatalogueRecord(rec, recNo) == isam::kOk ? 1 : 0;
}

class Converter {
 public:
  Converter(const ConversionSettings& s, ConversionReport& r) : s_(s), r_(r) {}

  // Checks the destination; false (with the report stopped) when nothing may be written.
  bool Start() {
    if (s_.DstFormat < 0 || s_.DstFormat >= static_cast<int>(ConversionDestinations().size()))
      return Stop("no destination format chosen");
    code_ = ConversionDestinations()[static_cast<std::size_t>(s_.DstFormat)].code;
    if (!WriterForCode(code_)) return Stop(std::string(FormatByCode(code_).name) + " files cannot be written");
    if (s_.DstExt.empty()) return Stop("no extension given for the converted files");
    if (!s_.DstDir.empty() && pf::fs().exists(s_.DstDir) && !pf::fs().isDirectory(s_.DstDir))
      return Stop("the destination " + s_.DstDir + " is a file, not a directory");
    if (s_.DstDir.empty() || !pf::fs().isDirectory(s_.DstDir))
      return Stop("the destination directory " + s_.DstDir + " does not exist");
    const pf::DriveKind kind = pf::fs().driveKind(s_.DstDir);
    if (kind == pf::DriveKind::ReadOnly)
      return Stop("the destination directory " + s_.DstDir + " is on a read-only medium");
    auto free = pf::fs().freeSpace(s_.DstDir);
    if (free && *free < kFullBelow) return Stop("the destination directory " + s_.DstDir + " is full");
    staging_ = std::make_unique<StagingDir>(s_.DstDir);
    if (!staging_->ok()) return Stop("the destination directory " + s_.DstDir + " cannot be written");
    adding_ = s_.AddToCatalogue;
    if (adding_ && (kind == pf::DriveKind::Removable || kind == pf::DriveKind::Remote)) {
      adding_ = false;
      r_.addingRefused = true;
    } else if (adding_ && !Catalogue()) {
      adding_ = false;
      r_.addingRefused = true;
    }
    return true;
  }

  // The sources of the run: a target that is one of them is refused, or a
  // source converted later would be read as what this run wrote over it.
  void SetSources(const std::vector<std::string>& names) {
    for (const std::string& n : names) sources_.insert(pf::canonicalPath(n).value_or(n));
  }

  // Converts one file; false when the run must stop.
  bool Convert(const std::string& name) {
    ConvertedFile f;
    f.source = name;
    std::string messages;
    if (!loadQuietly(lum_, name, messages))
      return Skip(f, messages.empty() ? "not a photometric file that can be read" : messages);
    const std::uint8_t sourceFormat = lum_.FormatCode;
    f.target = ConvertedFileName(name, sourceFormat, s_);
    auto [earlier, fresh] = targets_.emplace(f.target, name);
    if (!fresh) return Skip(f, "same target name as " + earlier->second);
    if (const auto real = pf::canonicalPath(f.target); real && sources_.count(*real))
      return Skip(f, "the target is a source file of this run and is not overwritten");
    if (lastComponent(f.target).size() > pf::kMaxFileNameBytes) return Skip(f, "the file name is too long");
    if (!PrepareForFormat(lum_, code_)) return Skip(f, "the data cannot be resampled to C-planes");
    lum_.CalcFlux();
    CalcPartialFluxes(lum_);  // the EULUMDAT direct ratios; a failure leaves them as read
    lum_.WriteCibseExtension = 0;
    if (code_ == fmtTm14 && Settings().Tm14Version2 && PrepareTm14Version2()) lum_.WriteCibseExtension = 1;

    const std::string staged = staging_->file(lastComponent(f.target));
    bool ok = false;
    try {
      ok = lum_.SaveAs(code_, staged);
    } catch (const std::exception&) {
      ok = false;
    }
    if (!ok) {
      pf::fs().removeFile(staged);
      auto free = pf::fs().freeSpace(s_.DstDir);
      if ((free && *free < kFullBelow) || !staging_->writable()) {
        Skip(f, "not written");
        return Stop("the destination directory " + s_.DstDir + " is full or cannot be written");
      }
      return Skip(f, std::string("cannot be written as ") + FormatByCode(code_).name);
    }
    if (!pf::fs().renameFile(staged, f.target)) {
      pf::fs().removeFile(staged);
      return Skip(f, "cannot replace " + f.target);
    }
    f.written = true;
    ++r_.written;
    if (adding_) {
      const int stored = storeRecord(lum_, f.target, code_, s_.DstPathIndex);
      f.catalogued = stored != 0;
      if (stored == 1) ++r_.added;
      if (stored == 2) ++r_.updated;
      if (!stored) f.reason = "written, but not added to the catalogue";
    }
    r_.files.push_back(std::move(f));
    return true;
  }

 private:
  bool Stop(const std::string& why) {
    r_.stopped = true;
    r_.stopReason = why;
    return false;
  }
  bool Skip(ConvertedFile& f, const std::string& why) {
    f.reason = why;
    ++r_.skipped;
    r_.files.push_back(std::move(f));
    return true;
  }
  // The CIBSE results and the export UGR table of a version-2 file; the
  // utilization-factor tables are loaded once for the run.
  bool PrepareTm14Version2() {
    try {
      if (!tm5_) tm5_ = std::make_unique<TM5OBJ>();
      tm5_->SetLuminaire(&lum_);
      tm5_->StoreCibse();
      ComputeExportUgr(lum_);
      return true;
    } catch (const std::exception&) {  // tables missing: a version-1 file is still a TM14 file
      return false;
    }
  }

  const ConversionSettings& s_;
  ConversionReport& r_;
  std::uint8_t code_ = 0;
  bool adding_ = false;
  std::unique_ptr<StagingDir> staging_;
  std::unique_ptr<TM5OBJ> tm5_;
  TLUM32 lum_;
  std::map<std::string, std::string> targets_;  // target -> the source written there
  std::set<std::string> sources_;               // canonical paths of the run's files
};

}  // namespace

ConversionReport ConvertFiles(const std::vector<std::string>& names, const ConversionSettings& settings,
                              const ConversionProgress& progress) {
  ConversionReport report;
  Converter c(settings, report);
  if (!c.Start()) return report;
  c.SetSources(names);
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (progress && !progress(i, names.size(), names[i])) {
      report.cancelled = true;
      break;
    }
    if (!c.Convert(names[i])) break;
  }
  return report;
}

}  // namespace kandelo
