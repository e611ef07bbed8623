#include "conversion/catalogue_find.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "conversion/catalogue_scan.h"
#include "conversion/feedback.h"
#include "database/catalogue.h"
#include "database/catalogue_record.h"
#include "frame/pathlist.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "photometry/validate.h"
#include "platform/fileio.h"

namespace kandelo {

namespace pf = kandelo::platform;

namespace {

using query::Field;
using query::FieldType;

// In the order of qf::.
constexpr Field kFields[] = {
    {"flux", FieldType::Number, "lm", "luminaire flux (lamp flux x light output ratio)"},
    {"lamp_flux", FieldType::Number, "lm", "flux of all lamp sets"},
    {"lor", FieldType::Number, "%", "light output ratio"},
    {"dff", FieldType::Number, "%", "downward flux fraction"},
    {"watt", FieldType::Number, "W", "power of all lamp sets with ballast"},
    {"efficacy", FieldType::Number, "lm/W", "luminaire flux per watt"},
    {"cct", FieldType::Number, "K", "correlated colour temperature of the first lamp set"},
    {"cri", FieldType::Number, "", "colour rendering index Ra of the first lamp set"},
    {"imax", FieldType::Number, "cd/klm", "maximum intensity"},
    {"beam_c0", FieldType::Number, "\xB0", "half-value beam angle in the plane C0-C180"},
    {"beam_c90", FieldType::Number, "\xB0", "half-value beam angle in the plane C90-C270"},
    {"beam", FieldType::Number, "\xB0", "the wider of beam_c0 and beam_c90"},
    {"ugr", FieldType::Number, "", "UGR of the room 4H x 8H at 70/50/20, the larger of crosswise and endwise"},
    {"shr", FieldType::Number, "", "nominal spacing-to-height ratio"},
    {"lamp_sets", FieldType::Number, "", "number of lamp sets"},
    {"problems", FieldType::Number, "", "findings of the file's check (validate)"},
    {"manufacturer", FieldType::Text, "", "manufacturer"},
    {"name", FieldType::Text, "", "luminaire name"},
    {"number", FieldType::Text, "", "luminaire number"},
    {"file", FieldType::Text, "", "file name"},
    {"format", FieldType::Text, "", "eulumdat, ies, tm14, ltli, lum32, lum, calculux or phillum"},
    {"litg", FieldType::Text, "", "LiTG classification code, e.g. A40"},
};
static_assert(std::size(kFields) == qf::Litg + 1);

std::optional<double> Known(double v) { return std::isnan(v) ? std::nullopt : std::optional<double>(v); }

// The state of the open catalogue's store.
struct StoreState {
  std::uint64_t opening = 0;  // of the catalogue the store belongs to
  SummaryStore store;
  bool tried = false;
};
StoreState& storeState() {
  static StoreState s;
  return s;
}

void WriteFigures(std::int32_t recNo, std::uint64_t stamp, const std::optional<PhotometricSummary>& figures,
                  FileMark mark) {
  SummaryStore* store = CatalogueSummaryStore();
  if (!store) return;
  // A slot that cannot be written (disk full) is computed again next time.
  if (figures)
    store->Write(recNo, stamp, *figures, mark);
  else
    store->WriteUnreadable(recNo, stamp, mark);
}

// Loads the entry's file and works its figures out; nullopt when it cannot be read.
std::optional<PhotometricSummary> ComputeFigures(const std::string& path, FileMark& mark) {
  // The mark before the file is read: a file changing meanwhile is found changed next time.
  mark = FileMarkOf(path);
  try {
    TLUM32 lum;
    lum.OemTexts = 1;
    const LoadResult loaded = LoadLuminaire(path, lum);
    if (!loaded.ok()) return std::nullopt;
    return SummarizeLoadedFile(path, lum, loaded);
  } catch (const std::exception&) {  // no memory for a table that claims to be huge
    return std::nullopt;
  }
}

CatalogueEntry EntryOf(std::int32_t recNo, const TCatalogueRecord& rec) {
  CatalogueEntry e;
  e.recNo = recNo;
  e.name = rec.LumName();
  e.number = rec.LumNumber();
  e.manufacturer = rec.Manufacturer();
  e.file = CatalogueFileName(rec);
  e.formatCode = rec.FormatCode();
  e.dirIndex = rec.DirIndex();
  return e;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

enum class WalkMode { Check, Repair, Rebuild };

SummaryCheck WalkSummaries(const TPathList& paths, WalkMode mode, Feedback* feedback) {
  SummaryCheck out;
  IndexedTable* t = Catalogue();
  if (!t) {
    out.failed = true;
    return out;
  }
  SummaryStore* store = CatalogueSummaryStore();
  out.storeOpen = store != nullptr;
  if (store) store->Preload();
  const std::int32_t total = t->RecordCount();
  std::vector<char> live;
  const std::int32_t walked = WalkListEntries(6, true, "", "", [&](const unsigned char* bytes) {
    if (feedback && feedback->IsCancelled()) {
      out.cancelled = true;
      return false;
    }
    const std::int32_t recNo = t->CurrentRecordNumber();
    if (recNo > 0) {
      if (live.size() <= std::size_t(recNo)) live.resize(std::size_t(recNo) + 1);
      live[std::size_t(recNo)] = 1;
    }
    TCatalogueRecord rec;
    std::copy(bytes, bytes + kCatalogueRecordSize, rec.bytes.begin());
    const std::uint64_t stamp = SummaryStamp(rec.data());
    const std::string path = CatalogueFilePath(rec, paths);
    ++out.entries;
    if (feedback && (out.entries % 256 == 0)) feedback->Progress(std::size_t(out.entries), std::size_t(total));
    bool stale = true;
    if (mode != WalkMode::Rebuild) {
      const auto slot = store ? store->Read(recNo, stamp) : std::nullopt;
      if (!slot) {
        ++out.missing;
      } else if (slot->file != FileMarkOf(path)) {
        ++out.fileChanged;
      } else {
        stale = false;
        if (slot->readable)
          ++out.sound;
        else
          ++out.unreadable;
      }
      if (stale) out.stale.push_back(recNo);
    }
    if (stale && mode != WalkMode::Check) {
      if (feedback) feedback->ProgressText(path);
      FileMark mark;
      const auto figures = ComputeFigures(path, mark);
      WriteFigures(recNo, stamp, figures, mark);
      if (!figures) ++out.unreadable;
      else if (mode == WalkMode::Rebuild) ++out.sound;
    }
    return true;
  });
  if (walked < 0 && !out.cancelled) out.failed = true;
  // Slots of numbers no entry holds (deleted entries) are emptied.
  if (store && mode != WalkMode::Check && !out.failed && !out.cancelled)
    for (std::int32_t n = 1; n <= store->SlotCount(); ++n)
      if (std::size_t(n) >= live.size() || !live[std::size_t(n)]) store->Erase(n);
  if (feedback && !out.cancelled) feedback->Progress(std::size_t(out.entries), std::size_t(out.entries));
  return out;
}

}  // namespace

std::span<const query::Field> CatalogueQueryFields() { return kFields; }

int CatalogueQueryField(std::string_view name) {
  const std::string lower = Lower(name);
  for (std::size_t i = 0; i < std::size(kFields); ++i)
    if (lower == kFields[i].name) return static_cast<int>(i);
  return -1;
}

const char* FormatWord(std::uint8_t code) {
  switch (code) {
    case 0:
    case 3: return "eulumdat";
    case 1: return "lum";
    case 2: return "lum32";
    case 4: return "tm14";
    case 5:
    case 6:
    case 7: return "ies";
    case 8: return "calculux";
    case 9: return "ltli";
    case 10: return "phillum";
    default: return "unknown";
  }
}

PhotometricSummary SummarizeLoadedFile(const std::string& path, TLUM32& lum, const LoadResult& loaded) {
  PhotometricSummary s = SummarizeLuminaire(lum);
  try {
    const ValidationReport report = ValidateLoaded(path, lum, loaded);
    s.problems = static_cast<int>(report.problems.size());
    s.worst = report.Count(Severity::Error) > 0 ? 3 : report.Count(Severity::Warning) > 0 ? 2 : 0;
  } catch (const std::exception&) {  // the check ran out of memory: not checked
  }
  return s;
}

FileMark FileMarkOf(const std::string& path) {
  const auto stamp = pf::fs().fileStamp(path);
  return stamp ? FileMark{stamp->size, stamp->modifiedNs} : FileMark{};
}

SummaryStore* CatalogueSummaryStore() {
  StoreState& s = storeState();
  const std::string& base = CatalogueBasePath();
  if (!Catalogue() || base.empty()) return nullptr;
  // Opened again with the catalogue: another one, or the same one whose
  // store may have been replaced or removed meanwhile.
  if (s.store.DropIfStale()) s.tried = false;
  if (s.opening != CatalogueOpenings()) {
    s.store.Close();
    s.opening = CatalogueOpenings();
    s.tried = false;
  }
  if (!s.store.IsOpen() && !s.tried) {
    s.tried = true;
    s.store.Open(SummaryStore::PathFor(base));
  }
  return s.store.IsOpen() ? &s.store : nullptr;
}

std::optional<double> EntryValues::Number(std::size_t field) const {
  if (!e_.figures) return std::nullopt;
  const PhotometricSummary& s = *e_.figures;
  switch (field) {
    case qf::Flux: return Known(s.luminaireFlux);
    case qf::LampFlux: return Known(s.lampFlux);
    case qf::Lor: return Known(s.lor);
    case qf::Dff: return Known(s.dff);
    case qf::Watt: return Known(s.watt);
    case qf::Efficacy: return Known(s.efficacy);
    case qf::Cct: return Known(s.cct);
    case qf::Cri: return Known(s.cri);
    case qf::Imax: return Known(s.imax);
    case qf::BeamC0: return Known(s.beamC0);
    case qf::BeamC90: return Known(s.beamC90);
    case qf::Beam: return Known(s.Beam());
    case qf::Ugr: return Known(s.Ugr());
    case qf::Shr: return Known(s.shr);
    case qf::LampSets: return double(s.lampSets);
    case qf::Problems: return s.problems < 0 ? std::nullopt : std::optional<double>(s.problems);
    default: return std::nullopt;
  }
}

std::optional<std::string_view> EntryValues::Text(std::size_t field) const {
  switch (field) {
    case qf::Manufacturer: return e_.manufacturer;
    case qf::Name: return e_.name;
    case qf::Number: return e_.number;
    case qf::File: return e_.file;
    case qf::Format: return std::string_view(FormatWord(e_.formatCode));
    case qf::Litg:
      if (!e_.figures || e_.figures->litgClass.empty()) return std::nullopt;
      return std::string_view(e_.figures->litgClass);
    default: return std::nullopt;
  }
}

std::optional<PhotometricSummary> EntryFigures(std::int32_t recNo, const TCatalogueRecord& rec,
                                               const TPathList& paths, bool checkFile, FiguresFrom* from) {
  const std::uint64_t stamp = SummaryStamp(rec.data());
  const std::string path = CatalogueFilePath(rec, paths);
  if (SummaryStore* store = CatalogueSummaryStore())
    if (auto slot = store->Read(recNo, stamp); slot && (!checkFile || slot->file == FileMarkOf(path))) {
      if (from) *from = slot->readable ? FiguresFrom::Store : FiguresFrom::Unreadable;
      if (!slot->readable) return std::nullopt;
      return slot->figures;
    }
  FileMark mark;
  auto figures = ComputeFigures(path, mark);
  WriteFigures(recNo, stamp, figures, mark);
  if (from) *from = figures ? FiguresFrom::Computed : FiguresFrom::Unreadable;
  return figures;
}

CollectResult CollectEntries(const CollectOptions& options, const TPathList& paths,
                             const std::function<bool(const CatalogueEntry&)>& keep) {
  const std::size_t stopAfter = options.stopAfter;
  CollectResult out;
  IndexedTable* t = Catalogue();
  if (!t) {
    out.failed = true;
    return out;
  }
  if (SummaryStore* store = CatalogueSummaryStore()) store->Preload();
  Feedback* feedback = options.feedback;
  const std::int32_t total = t->RecordCount();
  const std::int32_t walked = WalkListEntries(options.keyNo, true, "", "", [&](const unsigned char* bytes) {
    if (feedback && feedback->IsCancelled()) {
      out.cancelled = true;
      return false;
    }
    TCatalogueRecord rec;
    std::copy(bytes, bytes + kCatalogueRecordSize, rec.bytes.begin());
    CatalogueEntry entry = EntryOf(t->CurrentRecordNumber(), rec);
    FiguresFrom from = FiguresFrom::Store;
    if (options.recompute) {
      FileMark mark;
      const std::string path = CatalogueFilePath(rec, paths);
      if (feedback) feedback->ProgressText(path);
      entry.figures = ComputeFigures(path, mark);
      WriteFigures(entry.recNo, SummaryStamp(rec.data()), entry.figures, mark);
      from = entry.figures ? FiguresFrom::Computed : FiguresFrom::Unreadable;
    } else {
      entry.figures = EntryFigures(entry.recNo, rec, paths, options.checkFiles, &from);
    }
    ++out.walked;
    if (from == FiguresFrom::Computed) ++out.computed;
    if (from == FiguresFrom::Unreadable) ++out.unreadable;
    // Progress is told only while figures are computed: a walk over stored
    // ones is over before anyone could read it.
    if (feedback && from == FiguresFrom::Computed) feedback->Progress(std::size_t(out.walked), std::size_t(total));
    if (!keep || keep(entry)) out.entries.push_back(std::move(entry));
    return stopAfter == 0 || out.entries.size() < stopAfter;
  });
  const bool stoppedByLimit = stopAfter > 0 && out.entries.size() >= stopAfter;
  if (walked < 0 && !out.cancelled && !stoppedByLimit) out.failed = true;
  return out;
}

void SortEntries(std::vector<CatalogueEntry>& entries, std::size_t field, bool descending) {
  if (field >= std::size(kFields)) return;
  if (kFields[field].type == FieldType::Number) {
    std::stable_sort(entries.begin(), entries.end(), [&](const CatalogueEntry& a, const CatalogueEntry& b) {
      const auto x = EntryValues(a).Number(field), y = EntryValues(b).Number(field);
      if (!x || !y) return x.has_value() && !y.has_value();  // unknown last
      return descending ? *x > *y : *x < *y;
    });
  } else {
    std::stable_sort(entries.begin(), entries.end(), [&](const CatalogueEntry& a, const CatalogueEntry& b) {
      const auto x = EntryValues(a).Text(field), y = EntryValues(b).Text(field);
      if (!x || !y) return x.has_value() && !y.has_value();
      const std::string lx = Lower(*x), ly = Lower(*y);
      return descending ? lx > ly : lx < ly;
    });
  }
}

CollectResult FindEntries(const query::Expression* expression, const TPathList& paths, const FindOptions& options) {
  CollectOptions collect;
  collect.feedback = options.feedback;
  auto keep = [expression](const CatalogueEntry& e) { return !expression || expression->Matches(EntryValues(e)); };
  // Without an order of their own the first `limit` matches in name order are the answer.
  collect.stopAfter = options.sortField ? 0 : options.limit;
  CollectResult out = CollectEntries(collect, paths, keep);
  if (options.sortField) SortEntries(out.entries, *options.sortField, options.descending);
  if (options.limit > 0 && out.entries.size() > options.limit) out.entries.resize(options.limit);
  return out;
}

SummaryCheck CheckSummaries(const TPathList& paths, bool repair, Feedback* feedback) {
  return WalkSummaries(paths, repair ? WalkMode::Repair : WalkMode::Check, feedback);
}

SummaryCheck RebuildSummaries(const TPathList& paths, Feedback* feedback) {
  return WalkSummaries(paths, WalkMode::Rebuild, feedback);
}

}  // namespace kandelo
