// What the browser window needs from the layers below it: the catalogue's key
// cursor and record operations, the path list, directory scans, the luminaire
// object and its diagram. The program wires the real catalogue, engine and
// readers in; tests drive the window over a small in-memory catalogue.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "conversion/convert_files.h"
#include "database/catalogue_list.h"
#include "database/catalogue_record.h"
#include "conversion/catalogue_find.h"
#include "conversion/catalogue_scan.h"
#include "graphics/gdi_types.h"
#include "graphics/output_settings.h"
#include "ui/output_luminaire.h"

namespace kandelo {

class TDevice;
class TLUM32;
struct TCatalogueRecord;
class TMsgManager;
class TPageJob;

// How printing one datasheet ended.
enum class PrintOutcome { Printed, NoData, NotLoaded, JobFailed, Failed };

// The fields of a catalogue record the browser shows and uses.
struct CatalogueRow {
  std::int32_t recNo = 0;
  std::string name;          // luminaire name
  std::string number;        // luminaire number
  std::string fileName;      // file name as stored in the record (at most 12 characters)
  std::string diskName;      // the file's real name when it differs (long names); else empty
  std::string manufacturer;
  std::string formatName;    // display name of the format code
  std::int32_t dirIndex = 0; // index into the path list
  // The name of the file on disk, the one a person reads: never the alias.
  const std::string& RealFileName() const { return diskName.empty() ? fileName : diskName; }
};

// The texts of a luminaire as its file holds them: the catalogue record keeps
// the name to 40, the number to 24 and the manufacturer to 25 characters.
struct LuminaireTexts {
  std::string name, number, manufacturer;
};

class BrowserBackend {
 public:
  virtual ~BrowserBackend() = default;

  // Catalogue; the key operations return engine error numbers (0 = success).
  virtual bool CatalogueOpen() const = 0;
  virtual std::int32_t RecordCount() = 0;
  virtual int SelectKey(int keyNo) = 0;
  virtual int ResetKey() = 0;
  virtual int NextKey(std::string& key, std::int32_t& recNo) = 0;
  virtual int PrevKey(std::string& key, std::int32_t& recNo) = 0;
  // Places the key on the entry (key, recNo) seen before, so a far jump needs
  // no stepping from the start; non-zero when the entry is not there (the
  // caller then steps).
  virtual int PositionKey(const std::string& key, std::int32_t recNo) {
    (void)key;
    (void)recNo;
    return -1;
  }
  virtual bool ReadRecord(std::int32_t recNo, CatalogueRow& row) = 0;
  // Every entry in the order of key k with its key figures, for the filter
  // row; nullopt when the user stopped the computing of missing figures or
  // the catalogue could not be read. Here: the entries of the key walk
  // without figures.
  virtual std::optional<std::vector<CatalogueEntry>> CatalogueEntries(int keyNo) {
    std::vector<CatalogueEntry> out;
    if (SelectKey(keyNo) != 0 || ResetKey() != 0) return std::nullopt;
    std::string key;
    std::int32_t recNo = 0;
    while (NextKey(key, recNo) == 0) {
      CatalogueRow row;
      if (!ReadRecord(recNo, row)) return std::nullopt;
      CatalogueEntry e;
      e.recNo = recNo;
      e.name = row.name, e.number = row.number, e.manufacturer = row.manufacturer, e.file = row.RealFileName();
      e.dirIndex = row.dirIndex;
      out.push_back(std::move(e));
    }
    return out;
  }
  // True once after another station (another program on a shared
  // catalogue) changed the catalogue since the last call.
  virtual bool CatalogueChangedElsewhere() { return false; }
  virtual bool DeleteRecord(std::int32_t recNo) = 0;
  virtual void DeleteWholeCatalogue() = 0;
  virtual void RebuildCatalogue() = 0;
  virtual void WriteVersionLabel(const std::string& label) = 0;

  // Path list and directory scans; each way of adding files tells what it did.
  virtual std::string GetPath(std::int32_t index) = 0;
  virtual void EnsurePathListed(const std::string& dir) = 0;  // adds and saves when missing
  virtual IntakeReport AddAllBelowRoot() = 0;
  // Asks for files and adds them; nullopt when the user chose none.
  virtual std::optional<IntakeReport> AddFilesByDialog() = 0;
  // Adds the files given (the program's command line, another start of it
  // that handed them over, a drop); firstRecNo receives the record of the
  // first one added or updated, 0 when none.
  virtual IntakeReport AddFiles(const std::vector<std::string>& paths, std::int32_t& firstRecNo) {
    (void)paths;
    firstRecNo = 0;
    return {};
  }
  // Adds every photometric file below a folder where it lies (a dropped
  // folder), under the wait window with its cancel button.
  virtual IntakeReport AddTree(const std::string& dir) {
    (void)dir;
    return {};
  }
  virtual void SavePathList() = 0;
  // The index of a directory in the path list, added (and saved) when
  // missing; -1 when it cannot be listed.
  virtual std::int32_t PathIndexOf(const std::string& dir) {
    (void)dir;
    return -1;
  }

  // The whole 512-byte record of an entry (record editor, evaluation
  // window); false when it cannot be read.
  virtual bool ReadCatalogueRecord(std::int32_t recNo, TCatalogueRecord& rec) {
    (void)recNo;
    (void)rec;
    return false;
  }
  // Stores an edited record over record recNo, or as a new entry when recNo
  // is 0; the record's number, 0 when it could not be stored.
  virtual std::int32_t StoreCatalogueRecord(std::int32_t recNo, const TCatalogueRecord& rec) {
    (void)recNo;
    (void)rec;
    return 0;
  }

  // The luminaire object: LoadLuminaire reads the file and computes the
  // derived values; false when it does not load (the object is then cleared).
  virtual bool LoadLuminaire(const std::string& path) = 0;
  virtual void ClearLuminaire() = 0;
  virtual std::string LuminairePath() const = 0;
  // A few lines on the loaded luminaire (lamps, flux, light output ratio,
  // maximum intensity) for the browser's info pane; 1252 text.
  virtual std::string LuminaireSummary() const { return {}; }
  // The uncut texts of the loaded luminaire (nullopt when none is loaded),
  // and of another entry's file (nullopt when it does not load).
  virtual std::optional<LuminaireTexts> LoadedTexts() const { return std::nullopt; }
  virtual std::optional<LuminaireTexts> FileTexts(const std::string& path) {
    (void)path;
    return std::nullopt;
  }
  // The problems the file checks find in the loaded luminaire's file, one
  // per line ("L03 warning, line 4: ..."); 1252 text, empty when none.
  virtual std::string LuminaireProblems() const { return {}; }
  // Draws the polar intensity diagram of the loaded luminaire into the
  // rectangle (logical units of the drawing, twips), texts from the message file.
  virtual void DrawDiagram(TDevice& dc, const TRect& rect, const std::string& msgFile) = 0;

  // The evaluation window's input: the loaded luminaire (nullptr when none).
  virtual const TLUM32* Luminaire() const { return nullptr; }

  // The list export of the filter dialog and the version label. ExportList
  // writes the entries of key k (all, or from `from` while the key's first
  // characters are not above `to`) to the list file: the count, -1 when the
  // list file cannot be written.
  virtual std::int32_t ExportList(int keyNo, bool all, const std::string& from, const std::string& to) {
    (void)keyNo;
    (void)all;
    (void)from;
    (void)to;
    return -1;
  }
  virtual std::string ListFile() const { return {}; }      // the ".FIL" list file
  virtual std::string ListTextFile() const { return {}; }  // the ".TXT" list
  // The same entries written as the ".TXT" list: the count (0 writes no
  // file), -1 with the reason in `error`. By default through the list file.
  virtual std::int32_t ExportListText(int keyNo, bool all, const std::string& from, const std::string& to,
                                      std::string& error) {
    const std::int32_t n = ExportList(keyNo, all, from, to);
    if (n <= 0) {
      if (n < 0) error = "cannot write " + ListFile();
      return n;
    }
    return WriteListText(ListFile(), ListTextFile(), error) ? n : -1;
  }
  virtual std::string ReadVersionLabel() { return {}; }

  // Saving and converting. SaveLuminaireAs writes the loaded luminaire in the
  // format of save-dialog filter 1 … 7 under the chosen name and loads it
  // again from there; the name written, or "" with the reason in `error`.
  virtual std::string SaveLuminaireAs(int filterIndex, const std::string& chosenName, std::string& error) {
    (void)filterIndex;
    (void)chosenName;
    error = "not available";
    return {};
  }
  // Whether files written into a directory belong in the catalogue without
  // asking: the directory lies below the luminaire root or holds catalogued
  // files already (it is in the path list).
  virtual bool DirectoryCatalogued(const std::string& dir) {
    (void)dir;
    return false;
  }
  // Catalogues a file where it lies (its directory joins the path list);
  // the record's number, 0 when it could not be stored.
  virtual std::int32_t CatalogueFileInPlace(const std::string& path) {
    (void)path;
    return 0;
  }
  // The batch conversion of files given by full path; with AddToCatalogue
  // the destination joins the path list and DstPathIndex is set here.
  virtual ConversionReport ConvertFiles(const std::vector<std::string>& paths, ConversionSettings& settings,
                                        const ConversionProgress& progress) {
    (void)paths;
    (void)settings;
    (void)progress;
    return {};
  }

  // ---- Datasheets. The luminaire data the output selection needs (none
  // when no luminaire is loaded); printing the loaded luminaire (recNo: its
  // catalogue entry, for the luminous area), or the file of another entry
  // loaded into an object of its own. `error` explains Failed.
  virtual std::optional<TOutputLuminaire> OutputLuminaire() { return std::nullopt; }
  virtual PrintOutcome PrintLoadedDatasheet(std::int32_t recNo, const TOutputSettings& settings,
                                            const TMsgManager& msg, TPageJob& job, std::string& error) {
    (void)recNo;
    (void)settings;
    (void)msg;
    (void)job;
    error = "not available";
    return PrintOutcome::Failed;
  }
  virtual PrintOutcome PrintDatasheetOf(const std::string& path, std::int32_t recNo, const TOutputSettings& settings,
                                        const TMsgManager& msg, TPageJob& job, std::string& error) {
    (void)path;
    (void)recNo;
    (void)settings;
    (void)msg;
    (void)job;
    error = "not available";
    return PrintOutcome::Failed;
  }
};

}  // namespace kandelo
