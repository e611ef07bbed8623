// The browser's datasheets on the real layers: the loaded luminaire, or the
// file of a list entry in an object of its own, with the luminous area of
// its catalogue entry.
#include "app/core_backend.h"
#include "storage/indexed_table.h"
#include "database/catalogue.h"
#include "database/catalogue_record.h"
#include "datasheet/datasheet.h"
#include "shell/msgbox.h"
#include "photometry/format_io.h"

namespace kandelo {

namespace {

PrintOutcome Print(TLUM32& lum, std::int32_t recNo, const TOutputSettings& settings, const TMsgManager& msg,
                   TPageJob& job, std::string& error) {
  TCatalogueRecord rec;
  const bool haveRecord = recNo > 0 && Catalogue() && Catalogue()->IsOpen() && ReadCatalogueRecord(recNo, rec);
  const TDatasheetResult r =
      PrintDatasheet(lum, haveRecord ? &rec : nullptr, settings, msg, job, DatasheetOptionsFromSettings());
  error = r.error;
  switch (r.status) {
    case TDatasheetStatus::Printed: return PrintOutcome::Printed;
    case TDatasheetStatus::NoData:
    case TDatasheetStatus::NoPages: return PrintOutcome::NoData;
    case TDatasheetStatus::JobFailed: return PrintOutcome::JobFailed;
    case TDatasheetStatus::Failed: break;
  }
  return PrintOutcome::Failed;
}

}  // namespace

std::optional<TOutputLuminaire> CoreBrowserBackend::OutputLuminaire() {
  if (lum_.FileName.empty()) return std::nullopt;
  TOutputLuminaire o;
  o.valid = lum_.Valid != 0 && lum_.TableUsable();
  o.luminance = o.valid && lum_.LuminanceAvailable();
  o.setFlux = lum_.LampSetCount > 0 ? lum_.LampSets[0].SetFlux : 0.0f;
  if (o.valid) o.planePairs = lum_.PlanePairList();
  return o;
}

PrintOutcome CoreBrowserBackend::PrintLoadedDatasheet(std::int32_t recNo, const TOutputSettings& settings,
                                                      const TMsgManager& msg, TPageJob& job, std::string& error) {
  return Print(lum_, recNo, settings, msg, job, error);
}

PrintOutcome CoreBrowserBackend::PrintDatasheetOf(const std::string& path, std::int32_t recNo,
                                                  const TOutputSettings& settings, const TMsgManager& msg,
                                                  TPageJob& job, std::string& error) {
  TLUM32 lum;
  const LoadResult loaded = kandelo::LoadLuminaire(path, lum);
  ShowDiagnostics(loaded.messages);
  if (!loaded.ok()) return PrintOutcome::NotLoaded;
  return Print(lum, recNo, settings, msg, job, error);
}

}  // namespace kandelo
