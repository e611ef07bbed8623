// The browser's view of the real layers: the catalogue and its engine, the
// path list, the directory scans, one luminaire object and its diagram.
#pragma once

#include <memory>

#include "frame/pathlist.h"
#include "photometry/lum32.h"
#include "ui/browser_backend.h"

namespace kandelo {

class TMsgManager;

class CoreBrowserBackend : public BrowserBackend {
 public:
  CoreBrowserBackend();
  ~CoreBrowserBackend() override;

  bool CatalogueOpen() const override;
  std::int32_t RecordCount() override;
  int SelectKey(int keyNo) override;
  int ResetKey() override;
  int PositionKey(const std::string& key, std::int32_t recNo) override;
  int NextKey(std::string& key, std::int32_t& recNo) override;
  int PrevKey(std::string& key, std::int32_t& recNo) override;
  bool ReadRecord(std::int32_t recNo, CatalogueRow& row) override;
  bool CatalogueChangedElsewhere() override;
  bool DeleteRecord(std::int32_t recNo) override;
  void DeleteWholeCatalogue() override;
  void RebuildCatalogue() override;
  void WriteVersionLabel(const std::string& label) override;
  std::int32_t ExportList(int keyNo, bool all, const std::string& from, const std::string& to) override;
  std::string ListFile() const override;
  std::string ListTextFile() const override;
  std::int32_t ExportListText(int keyNo, bool all, const std::string& from, const std::string& to,
                              std::string& error) override;
  std::string ReadVersionLabel() override;

  std::string GetPath(std::int32_t index) override;
  void EnsurePathListed(const std::string& dir) override;
  IntakeReport AddAllBelowRoot() override;
  std::optional<std::vector<CatalogueEntry>> CatalogueEntries(int keyNo) override;
  std::optional<IntakeReport> AddFilesByDialog() override;
  IntakeReport AddFiles(const std::vector<std::string>& paths, std::int32_t& firstRecNo) override;
  IntakeReport AddTree(const std::string& dir) override;
  void SavePathList() override;
  std::int32_t PathIndexOf(const std::string& dir) override;
  bool ReadCatalogueRecord(std::int32_t recNo, TCatalogueRecord& rec) override;
  std::int32_t StoreCatalogueRecord(std::int32_t recNo, const TCatalogueRecord& rec) override;

  bool LoadLuminaire(const std::string& path) override;
  void ClearLuminaire() override;
  std::string LuminairePath() const override;
  std::string LuminaireSummary() const override;
  std::optional<LuminaireTexts> LoadedTexts() const override;
  std::optional<LuminaireTexts> FileTexts(const std::string& path) override;
  std::string LuminaireProblems() const override;
  void DrawDiagram(TDevice& dc, const TRect& rect, const std::string& msgFile) override;
  std::string SaveLuminaireAs(int filterIndex, const std::string& chosenName, std::string& error) override;
  bool DirectoryCatalogued(const std::string& dir) override;
  std::int32_t CatalogueFileInPlace(const std::string& path) override;
  ConversionReport ConvertFiles(const std::vector<std::string>& paths, ConversionSettings& settings,
                                const ConversionProgress& progress) override;

  const TLUM32* Luminaire() const override { return lum_.FileName.empty() ? nullptr : &lum_; }
  // Datasheets (core_backend_print.cpp).
  std::optional<TOutputLuminaire> OutputLuminaire() override;
  PrintOutcome PrintLoadedDatasheet(std::int32_t recNo, const TOutputSettings& settings, const TMsgManager& msg,
                                    TPageJob& job, std::string& error) override;
  PrintOutcome PrintDatasheetOf(const std::string& path, std::int32_t recNo, const TOutputSettings& settings,
                                const TMsgManager& msg, TPageJob& job, std::string& error) override;

  TPathList& Paths() { return paths_; }

 private:
  TPathList paths_;
  TLUM32 lum_;
  mutable std::string problemsOf_, problems_;  // the checks of the file last asked about
  std::uint64_t foreignSeen_ = 0;  // changes of other stations shown so far
};

// A first start with an empty catalogue: copies the shipped sample luminaires
// into the luminaire root (where missing) and takes them into the catalogue,
// once per user (LDBSETTINGS\SAMPLES). Returns the number of files taken in.
int TakeSamplesIntoEmptyCatalogue(TPathList& paths);

}  // namespace kandelo
