// Finding catalogue entries by what their luminaires do: the key figures of
// every entry (flux, wattage, colour, beam, glare, ...) kept in the figure
// store beside the catalogue, and queries over them in the expression
// language of database/catalogue_query.h.
//
// The figures of an entry are computed when its file is taken in (the
// intake writes them with the record) and whenever a reader finds its slot
// missing or of another record: an entry whose record was rewritten by any
// path (record editor, conversion, another station), a catalogue rebuilt, a
// store lost or damaged. So the store is never trusted beyond the record it
// was computed for, and a query always answers for the catalogue as it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/summary_store.h"
#include "database/catalogue_query.h"

namespace kandelo {

class Feedback;
class TLUM32;
class TPathList;
struct LoadResult;
struct TCatalogueRecord;

// The fields of catalogue queries, in the order `catalogue find --fields`
// lists them. Their names are English everywhere.
std::span<const query::Field> CatalogueQueryFields();
// The index of a field by name, without regard to case; -1 for none.
int CatalogueQueryField(std::string_view name);
// Field indices the window's range boxes use.
namespace qf {
constexpr std::size_t Flux = 0, LampFlux = 1, Lor = 2, Dff = 3, Watt = 4, Efficacy = 5, Cct = 6, Cri = 7,
                      Imax = 8, BeamC0 = 9, BeamC90 = 10, Beam = 11, Ugr = 12, Shr = 13, LampSets = 14,
                      Problems = 15, Manufacturer = 16, Name = 17, Number = 18, File = 19, Format = 20, Litg = 21;
}

// The format of a record's code as queries name it: "eulumdat", "ies",
// "tm14", "ltli", "lum32", "lum", "calculux", "phillum", "unknown".
const char* FormatWord(std::uint8_t code);

// The figures of a file just loaded (LoadLuminaire's luminaire and result),
// with the result of its checks.
PhotometricSummary SummarizeLoadedFile(const std::string& path, TLUM32& lum, const LoadResult& loaded);

// A file's size and time now; size -1 when it is not there.
FileMark FileMarkOf(const std::string& path);

// The figure store of the open catalogue, opened on first use and again when
// another catalogue has been opened since; nullptr when there is no open
// catalogue or its store can be neither opened nor created (the figures are
// then computed each time). Used on the caller's thread only.
SummaryStore* CatalogueSummaryStore();

// A catalogue entry as queries see it.
struct CatalogueEntry {
  std::int32_t recNo = 0;
  std::string name, number, manufacturer, file;  // 1252 texts; file: the real name
  std::uint8_t formatCode = 11;
  std::int32_t dirIndex = 0;
  std::optional<PhotometricSummary> figures;  // nullopt: its file cannot be read
};

// The values of an entry for an expression over CatalogueQueryFields().
class EntryValues final : public query::Values {
 public:
  explicit EntryValues(const CatalogueEntry& entry) : e_(entry) {}
  std::optional<double> Number(std::size_t field) const override;
  std::optional<std::string_view> Text(std::size_t field) const override;

 private:
  const CatalogueEntry& e_;
};

// Where an entry's figures came from.
enum class FiguresFrom { Store, Computed, Unreadable };

// The figures of an entry: from the store when its slot is of the record as
// stored (and, with checkFile, of its file as it is on disk now), else
// computed from its file and written back. nullopt when the file cannot be read.
std::optional<PhotometricSummary> EntryFigures(std::int32_t recNo, const TCatalogueRecord& rec,
                                               const TPathList& paths, bool checkFile,
                                               FiguresFrom* from = nullptr);

struct CollectOptions {
  int keyNo = 1;            // the order of the entries
  bool checkFiles = false;  // compare each file's size and time with its slot's
  bool recompute = false;   // compute every entry's figures afresh (rebuild)
  Feedback* feedback = nullptr;  // progress of entries whose figures are computed; stopping
  std::size_t stopAfter = 0;     // stop once this many are kept (0: walk all)
};

struct CollectResult {
  std::vector<CatalogueEntry> entries;
  std::int32_t walked = 0;    // entries looked at
  std::int32_t computed = 0;  // of them, figures computed (missing, stale or asked for)
  std::int32_t unreadable = 0;
  bool cancelled = false;
  bool failed = false;  // the walk met an engine error: the entries are incomplete
};

// Every entry of the open catalogue in the order of a key with its figures;
// those `keep` refuses are left out of the result (all kept without one).
CollectResult CollectEntries(const CollectOptions& options, const TPathList& paths,
                             const std::function<bool(const CatalogueEntry&)>& keep = {});

// Orders entries by a field: numbers ascending with unknown ones last, texts
// without regard to case; descending turns the known ones round. Stable.
void SortEntries(std::vector<CatalogueEntry>& entries, std::size_t field, bool descending);

// Entries matching an expression (the whole catalogue for an empty one).
struct FindOptions {
  std::optional<std::size_t> sortField;  // else the order of the name key
  bool descending = false;
  std::size_t limit = 0;  // 0: all
  Feedback* feedback = nullptr;
};
CollectResult FindEntries(const query::Expression* expression, const TPathList& paths, const FindOptions& options);

// The figure store against the catalogue: how many entries have figures
// that hold, and which do not (missing, of another record, of a file changed
// since); with `repair`, those are computed and written again. Slots of
// record numbers no entry has are emptied on repair.
struct SummaryCheck {
  std::int32_t entries = 0, sound = 0, missing = 0, fileChanged = 0, unreadable = 0;
  std::vector<std::int32_t> stale;  // record numbers: missing or file changed
  bool storeOpen = false;
  bool failed = false;
  bool cancelled = false;
};
SummaryCheck CheckSummaries(const TPathList& paths, bool repair, Feedback* feedback = nullptr);
// Computes every entry's figures afresh (catalogue rebuild).
SummaryCheck RebuildSummaries(const TPathList& paths, Feedback* feedback = nullptr);

}  // namespace kandelo
