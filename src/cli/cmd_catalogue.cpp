// kandelo-cli catalogue scan [ROOT] | add FILE... [--overwrite yes|no|all] | list [--key N] [--json]
//              | find EXPR [--json] [--sort [-]FIELD] [--limit N] | find --fields | rebuild | check
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <nlohmann/json.hpp>

#include "cli/cli_common.h"
#include "cli/cmd_list.h"
#include "cli/progress_line.h"
#include "cli/cli_output.h"
#include "database/catalogue.h"
#include "conversion/catalogue_find.h"
#include "conversion/catalogue_scan.h"
#include "conversion/feedback.h"
#include "frame/msgmanager.h"
#include "frame/pathlist.h"
#include "photometry/format_io.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "shell/msgbox.h"
#include "shell/ui_services.h"
#include "platform/fileio.h"

namespace kandelo::cli {
namespace {

// Start-up as the program runs it; the browser then keeps LumDir1 as the
// first entry of the path list, which the CLI does as well.
struct Session {
  StartupState state = StartCli();
  ~Session() { StopCli(); }
  bool ready() const { return state.catalogueReady && Catalogue(); }
};

void ensureLumDir1(TPathList& paths) {
  if (paths.IndexOfPath(Settings().LumDir1) < 0) paths.StorePath(Settings().LumDir1);
}

// The fields of an entry of the JSON list, written straight into the array.
void writeRecordFields(JsonArrayWriter& array, std::int32_t n, const TCatalogueRecord& r, const TPathList& paths) {
  array.Field("record", static_cast<long long>(n));
  // File names and paths are the file system's bytes (UTF-8 on Linux), not 1252 texts.
  array.Field("file", r.FileNameField());
  array.Field("path", CatalogueFilePath(r, paths));
  array.Field("name", ToUtf8(r.LumName()));
  array.Field("number", ToUtf8(r.LumNumber()));
  array.Field("manufacturer", ToUtf8(r.Manufacturer()));
  array.Field("format", static_cast<long long>(r.FormatCode()));
  array.Field("formatName", FormatDisplayName(r.FormatCode()));
  array.Field("lampType", ToUtf8(r.LampType()));
  array.Field("lamps", static_cast<long long>(r.LampCount()));
  array.Field("flux", static_cast<double>(r.LampFlux()));
  array.Field("watt", static_cast<long long>(r.GetI16(catoff::LampWatt)));
}

void writeRecordJson(JsonArrayWriter& array, std::int32_t n, const TCatalogueRecord& r, const TPathList& paths) {
  array.BeginObject();
  writeRecordFields(array, n, r, paths);
  array.EndObject();
}

nlohmann::ordered_json numberOrNull(double v) { return std::isnan(v) ? nlohmann::ordered_json() : nlohmann::ordered_json(v); }

// The key figures of an entry under the names of the query fields.
nlohmann::ordered_json summaryJson(const CatalogueEntry& e) {
  nlohmann::ordered_json j = nlohmann::ordered_json::object();
  if (!e.figures) {
    j["readable"] = false;
    return j;
  }
  const EntryValues values(e);
  const auto fields = CatalogueQueryFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].type != query::FieldType::Number) continue;
    const auto v = values.Number(i);
    j[fields[i].name] = v ? nlohmann::ordered_json(*v) : nlohmann::ordered_json();
  }
  const PhotometricSummary& s = *e.figures;
  j["ugr_crosswise"] = numberOrNull(s.ugrCrosswise);
  j["ugr_endwise"] = numberOrNull(s.ugrEndwise);
  std::string code;
  for (std::uint8_t c : s.cieFluxCode) code += (code.empty() ? "" : " ") + std::to_string(c);
  j["cie_flux_code"] = code;
  j["litg"] = s.litgClass;
  j["symmetry"] = s.symmetry;
  j["worst"] = s.worst >= 3 ? "error" : s.worst == 2 ? "warning" : "none";
  j["dimensions"] = {{"length", s.length},          {"width", s.width},         {"diameter", s.diameter},
                     {"height", s.height},          {"area_length", s.areaLength}, {"area_width", s.areaWidth},
                     {"area_diameter", s.areaDiameter}};
  return j;
}

std::string figureText(const std::optional<double>& v, int decimals) {
  if (!v) return "-";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, *v);
  return buf;
}

// The progress line as a Feedback, shown only once figures have to be computed.
class FigureFeedback : public Feedback {
 public:
  void Progress(std::size_t done, std::size_t total) override {
    if (!line_) line_.emplace("figures");
    line_->Update(done, total);
  }
  void Clear() {
    if (line_) line_->Clear();
  }

 private:
  std::optional<ProgressLine> line_;
};

int listFields(bool json) {
  const auto fields = CatalogueQueryFields();
  if (json) {
    JsonArrayWriter array(stdout);
    for (const query::Field& f : fields) {
      array.BeginObject();
      array.Field("name", f.name);
      array.Field("type", f.type == query::FieldType::Number ? "number" : "text");
      array.Field("unit", ToUtf8(f.unit));
      array.Field("description", f.description);
      array.EndObject();
    }
    array.End();
    return kOk;
  }
  for (const query::Field& f : fields)
    std::printf("%-13s %-7s %-7s %s\n", f.name, f.type == query::FieldType::Number ? "number" : "text",
                ToUtf8(f.unit).c_str(), f.description);
  return kOk;
}

// Entries matching the expression, in name order or sorted by a field. A bad
// expression is a usage error: one line with its column.
int find(const std::string& text, bool json, const std::string& sort, std::size_t limit) {
  const auto fields = CatalogueQueryFields();
  auto parsed = query::Parse(FromUtf8(text), fields);
  if (const auto* error = std::get_if<query::ParseError>(&parsed)) {
    std::fprintf(stderr, "error: column %zu: %s\n", error->column, ToUtf8(error->message).c_str());
    return kUsage;
  }
  FindOptions options;
  options.limit = limit;
  if (!sort.empty()) {
    const bool descending = sort[0] == '-';
    const int field = CatalogueQueryField(descending ? sort.substr(1) : sort);
    if (field < 0) {
      std::fprintf(stderr, "error: --sort: no field \"%s\" (catalogue find --fields lists them)\n", sort.c_str());
      return kUsage;
    }
    options.sortField = static_cast<std::size_t>(field);
    options.descending = descending;
  }
  Session session;
  if (!session.ready()) return CatalogueUnavailable();
  TPathList paths(PathListFileName());
  FigureFeedback feedback;
  options.feedback = &feedback;
  const CollectResult found = FindEntries(&std::get<query::Expression>(parsed), paths, options);
  feedback.Clear();
  if (found.failed) return Fail("the catalogue cannot be read to its end");
  JsonArrayWriter array(stdout);
  for (const CatalogueEntry& e : found.entries) {
    TCatalogueRecord r;
    if (!ReadCatalogueRecord(e.recNo, r)) return Fail("cannot read record " + std::to_string(e.recNo));
    if (json) {
      array.BeginObject();
      writeRecordFields(array, e.recNo, r, paths);
      array.Nested("summary", summaryJson(e));
      array.EndObject();
      continue;
    }
    const EntryValues v(e);
    std::printf("%6d  %7s lm  %6s W  %5s K  UGR %4s  %5s\xC2\xB0  %-40s  %-25s  %s\n", e.recNo,
                figureText(v.Number(qf::Flux), 0).c_str(), figureText(v.Number(qf::Watt), 1).c_str(),
                figureText(v.Number(qf::Cct), 0).c_str(), figureText(v.Number(qf::Ugr), 1).c_str(),
                figureText(v.Number(qf::Beam), 0).c_str(), ToUtf8(e.name).c_str(), ToUtf8(e.manufacturer).c_str(),
                CatalogueFilePath(r, paths).c_str());
  }
  if (json) array.End();
  if (!json) std::fprintf(stderr, "%zu of %d\n", found.entries.size(), found.walked);
  return kOk;
}

void printFigureCheck(const SummaryCheck& c) {
  std::printf("figures: %d sound, %d missing or of another record, %d of files changed since, %d unreadable\n",
              c.sound, c.missing, c.fileChanged, c.unreadable);
  const std::size_t shown = std::min<std::size_t>(c.stale.size(), 20);
  for (std::size_t i = 0; i < shown; ++i) std::printf("record %d: figures out of date\n", c.stale[i]);
  if (c.stale.size() > shown) std::printf("... and %zu more\n", c.stale.size() - shown);
}

void printCounts(const IntakeReport& c) {
  std::printf("added %d, updated %d, failed %d (listed in %s)", c.added, c.updated, c.failed, ErrorListPath().c_str());
  if (c.kept > 0) std::printf(", kept %d", c.kept);
  std::printf("\n");
}

// Each file not stored as one line on stderr with the reason; kFailure when
// there was one, so that no file that is missing from the catalogue passes
// for stored.
int reportFailures(const IntakeReport& c) {
  for (const IntakeEntry* f : c.Failures()) {
    std::string why;
    switch (f->why) {
      case AddFailure::NotCopied:
        why = SessionText("CL_NOTCOPIED", "cannot be copied into the luminaire directory");
        break;
      case AddFailure::NoPathEntry:
        why = SessionText("CL_NOPATHENTRY", "its directory cannot be entered in the path list");
        break;
      case AddFailure::NotStored:
        why = SessionText("CL_NOTSTORED", "not stored in the catalogue");
        if (f->error) why += " (DB-Error : " + std::to_string(f->error) + ")";
        break;
      case AddFailure::NoRoot:
        why = "the luminaire directory does not exist";
        break;
      case AddFailure::NotLoaded:
      case AddFailure::None:
        why = SessionText("CL_UNKNOWN", "not a photometric file in a known format");
        break;
    }
    FailFile(f->path, why);
  }
  return c.failed ? kFailure : kOk;
}

// A file's messages to stderr as they come, the progress line (if any) cleared first.
void printMessages(const IntakeEntry& entry, ProgressLine* line = nullptr) {
  if (entry.messages.empty()) return;
  if (line) line->Clear();
  for (const std::string& text : entry.messages.texts()) std::fprintf(stderr, "%s\n", ToUtf8(text).c_str());
}

// The progress line as the intake's Feedback.
class LineFeedback : public Feedback {
 public:
  explicit LineFeedback(ProgressLine& line) : line_(line) {}
  void Progress(std::size_t done, std::size_t total) override { line_.Update(done, total); }

 private:
  ProgressLine& line_;
};

// The question whether to overwrite a file in the luminaire directory gets
// the answer given on the command line; the question goes to stderr.
int add(const std::vector<std::string>& files, const std::string& overwrite) {
  const OverwriteAnswer answer =
      overwrite == "yes" ? OverwriteAnswer::Yes : overwrite == "all" ? OverwriteAnswer::All : OverwriteAnswer::No;
  Session session;
  if (!session.ready()) return CatalogueUnavailable();
  if (LuminaireRoot().empty()) return Fail("the luminaire directory does not exist");
  TPathList paths(PathListFileName());
  ensureLumDir1(paths);
  TMsgManager msgs(LanguageFilePath("ORVMSG"));
  IntakeRun run;
  run.overwriteAll = answer == OverwriteAnswer::All;
  run.askOverwrite = [answer](const std::string& question) {
    std::fprintf(stderr, "%s\n", ToUtf8(question).c_str());
    return answer;
  };
  run.fileDone = [](const IntakeEntry& entry) { printMessages(entry); };
  // A file that is not there is taken as given, and fails as not loaded.
  std::vector<std::string> given;
  for (const auto& f : files) given.push_back(platform::canonicalPath(f).value_or(f));
  const IntakeReport c = AddFilesToCatalogue(given, paths, msgs, run);
  printCounts(c);
  return reportFailures(c);
}

// Without a root: the luminaire directory, as the browser's button takes it.
int scan(const std::string& rootArg) {
  // The path list keeps absolute directories, valid from any working directory.
  std::optional<std::string> root;
  if (!rootArg.empty()) {
    root = platform::canonicalPath(rootArg);
    if (!root || !platform::fs().isDirectory(*root)) return Fail("not a directory");
  }
  Session session;
  if (!session.ready()) return CatalogueUnavailable();
  if (!root && !DirExists(Settings().LumDir2))
    return Fail("the luminaire directory LumDir2 does not exist: " + Settings().LumDir2);
  TPathList paths(PathListFileName());
  ensureLumDir1(paths);
  TMsgManager msgs(LanguageFilePath("ORVMSG"));
  IntakeReport counts;
  {
    ProgressLine progress("scanning");
    LineFeedback feedback(progress);
    IntakeRun run;
    run.feedback = &feedback;
    run.fileDone = [&progress](const IntakeEntry& entry) { printMessages(entry, &progress); };
    counts = root ? AddTreeToCatalogue(AddBackslash(*root), paths, msgs, run) : AddAllBelowRoot(paths, msgs, run);
  }
  printCounts(counts);
  return reportFailures(counts);
}

int list(int keyNo, bool json) {
  Session session;
  if (!session.ready()) return CatalogueUnavailable();
  IndexedTable& t = *Catalogue();
  if (t.SelectKey(keyNo) != isam::kOk) return Fail("no key " + std::to_string(keyNo));
  TPathList paths(PathListFileName());
  // JSON goes out entry by entry, as the array the whole document would
  // print, so that the memory stays the same for any catalogue size.
  JsonArrayWriter array(stdout);
  t.ResetKey();
  std::string key;
  int e;
  while ((e = t.NextKey(key)) == isam::kOk) {
    TCatalogueRecord r;
    const std::int32_t n = t.CurrentRecordNumber();
    if (!ReadCatalogueRecord(n, r)) return Fail("cannot read record " + std::to_string(n));
    if (json)
      writeRecordJson(array, n, r, paths);
    else
      std::printf("%6d  %-12s  %-40s  %-24s  %-25s  %s\n", n, r.FileNameField().c_str(),
                  ToUtf8(r.LumName()).c_str(), ToUtf8(r.LumNumber()).c_str(), ToUtf8(r.Manufacturer()).c_str(),
                  CatalogueFilePath(r, paths).c_str());
  }
  if (e != isam::kErrEndOfIndex) return Fail("DB-Error : " + std::to_string(e));
  if (json) array.End();
  return kOk;
}

int rebuild() {
  // Asked for: a catalogue whose data file was lost is rebuilt (or made anew).
  SetCatalogueQuestionAnswer(mrYes);
  Session session;
  if (CatalogueBasePath().empty()) return CatalogueUnavailable();
  if (CatalogueHolderPid(CatalogueBasePath())) return CatalogueUnavailable();  // said by the start-up
  std::string fault;
  int r = RebuildCatalogue(&fault);
  if (!fault.empty()) ShowError(fault);  // to stderr, as the console shows boxes
  if (r != isam::kOk || !Catalogue()) return Fail("rebuild failed: DB-Error : " + std::to_string(r));
  std::printf("rebuilt: %d records\n", Catalogue()->RecordCount());
  {
    TPathList paths(PathListFileName());
    FigureFeedback feedback;
    const SummaryCheck figures = RebuildSummaries(paths, &feedback);
    feedback.Clear();
    if (figures.failed || !figures.storeOpen)
      return Fail("the figures of the entries cannot be stored: " + SummaryStore::PathFor(CatalogueBasePath()));
    std::printf("figures: %d computed, %d files unreadable\n", figures.sound, figures.unreadable);
  }
  if (const std::int32_t dropped = Catalogue()->DroppedByRebuild(); dropped > 0)
    std::printf("%d %s (%s)\n", dropped,
                ToUtf8(SessionText("CL_DROPPED", "records dropped because they fail the record checks")).c_str(),
                isam::MessageFilePath(CatalogueBasePath()).c_str());
  return kOk;
}

// Every index holds one entry per record, every key stored is the key the
// record gives, and every file is where the record says.
int check() {
  Session session;
  if (!session.ready()) return CatalogueUnavailable();
  IndexedTable& t = *Catalogue();
  TPathList paths(PathListFileName());
  const std::int32_t records = t.RecordCount();
  int problems = 0;
  int missing = 0;
  for (int k = 1; k <= kCatalogueKeyCount; ++k) {
    t.SelectKey(k);
    const std::int32_t entries = t.EntryCount();
    if (entries != records) {
      std::printf("key %d: %d entries for %d records\n", k, entries, records);
      ++problems;
    }
    t.ResetKey();
    std::string key;
    std::int32_t walked = 0;
    while (t.NextKey(key) == isam::kOk) {
      ++walked;
      TCatalogueRecord r;
      const std::int32_t n = t.CurrentRecordNumber();
      if (!ReadCatalogueRecord(n, r) || CatalogueKey(r, k) != key) {
        std::printf("key %d: entry of record %d does not match the record\n", k, n);
        ++problems;
      } else if (k == 6 && !FileExistsS(CatalogueFilePath(r, paths))) {
        std::printf("record %d: file missing: %s\n", n, CatalogueFilePath(r, paths).c_str());
        ++missing;
      }
    }
    if (walked != entries) {
      std::printf("key %d: %d entries walked of %d\n", k, walked, entries);
      ++problems;
    }
  }
  std::printf("%d records, %d index problems, %d files missing\n", records, problems, missing);
  // The figures are a cache that queries bring up to date: reported, not failed.
  printFigureCheck(CheckSummaries(paths, false));
  return problems || missing ? kFailure : kOk;
}

void Setup(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("catalogue", "The luminaire catalogue");
  cmd->require_subcommand(1);
  static std::string root;
  static int keyNo = 1;
  static bool json = false;
  static std::vector<std::string> files;
  static std::string overwrite = "no";
  auto* scanCmd = cmd->add_subcommand(
      "scan", "Take every photometric file below ROOT (default: the luminaire directory LumDir2) into the catalogue");
  scanCmd->add_option("ROOT", root);
  scanCmd->callback([&exitCode] { exitCode = scan(root); });
  auto* addCmd = cmd->add_subcommand("add", "Take files into the catalogue; files from elsewhere are copied into the "
                                            "luminaire directory first");
  addCmd->add_option("FILE", files)->required();
  addCmd->add_option("--overwrite", overwrite, "Answer to \"overwrite the file in the luminaire directory?\"")
      ->check(CLI::IsMember({"yes", "no", "all"}));
  addCmd->callback([&exitCode] { exitCode = add(files, overwrite); });
  auto* listCmd = cmd->add_subcommand("list", "List the catalogue in the order of a key");
  listCmd->add_option("--key", keyNo, "Key 1..6")->check(CLI::Range(1, kCatalogueKeyCount));
  listCmd->add_flag("--json", json, "Print as JSON");
  listCmd->callback([&exitCode] { exitCode = list(keyNo, json); });
  static std::string expression, sortField;
  static std::size_t limit = 0;
  static bool fieldList = false, findJson = false;
  auto* findCmd = cmd->add_subcommand("find", "Entries whose luminaires match an expression, e.g. "
                                              "\"flux>=3000 and cct=4000 and ugr<19 and beam<60\"");
  findCmd->add_option("EXPR", expression, "The query (catalogue find --fields lists the fields)");
  findCmd->add_flag("--json", findJson, "Print as JSON, with the figures of each entry");
  findCmd->add_option("--sort", sortField, "Order by a field; -FIELD for descending");
  findCmd->add_option("--limit", limit, "At most N entries");
  findCmd->add_flag("--fields", fieldList, "List the fields an expression can use");
  findCmd->callback([&exitCode] {
    if (fieldList) {
      exitCode = listFields(findJson);
    } else if (expression.empty()) {
      std::fprintf(stderr, "error: column 1: the expression is empty\n");
      exitCode = kUsage;
    } else {
      exitCode = find(expression, findJson, sortField, limit);
    }
  });
  cmd->add_subcommand("rebuild", "Rebuild the catalogue files and the figures of its entries")->callback([&exitCode] { exitCode = rebuild(); });
  cmd->add_subcommand("check", "Check indexes against records and files")->callback([&exitCode] {
    exitCode = check();
  });
  AddListCommands(*cmd, exitCode);
}

KANDELO_COMMAND(Setup);

}  // namespace
}  // namespace kandelo::cli
