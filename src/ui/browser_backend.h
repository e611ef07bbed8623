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
#include "database/catalogue_scan.h"
#include "graphics/gdi_types.h"

namespace kandelo {

class TDevice;

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
  virtual ScanCounts AddAllBelowRoot() = 0;
  // Asks for files and adds them; nullopt when the user chose none.
  virtual std::optional<ScanCounts> AddFilesByDialog() = 0;
  // Adds the files given (the program's command line, or another start of it
  // that handed them over); lastRecNo receives the record of the last one
  // added or updated, 0 when none.
  virtual ScanCounts AddFiles(const std::vector<std::string>& paths, std::int32_t& lastRecNo) {
    (void)paths;
    lastRecNo = 0;
    return {};
  }
  virtual void SavePathList() = 0;

  // The luminaire object: LoadLuminaire reads the file and computes the
  // derived values; false when it does not load (the object is then cleared).
  virtual bool LoadLuminaire(const std::string& path) = 0;
  virtual void ClearLuminaire() = 0;
  virtual std::string LuminairePath() const = 0;
  // A few lines on the loaded luminaire (lamps, flux, light output ratio,
  // maximum intensity) for the browser's info pane; 1252 text.
  virtual std::string LuminaireSummary() const { return {}; }
  // Draws the polar intensity diagram of the loaded luminaire into the
  // rectangle (logical units of the drawing, twips), texts from the message file.
  virtual void DrawDiagram(TDevice& dc, const TRect& rect, const std::string& msgFile) = 0;

  // Saving and converting. SaveLuminaireAs writes the loaded luminaire in the
  // format of save-dialog filter 1 … 7 under the chosen name and loads it
  // again from there; the name written, or "" with the reason in `error`.
  virtual std::string SaveLuminaireAs(int filterIndex, const std::string& chosenName, std::string& error) {
    (void)filterIndex;
    (void)chosenName;
    error = "not available";
    return {};
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
};

}  // namespace kandelo
