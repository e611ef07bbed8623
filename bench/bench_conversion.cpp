// Converting 1 000 photometric files into each destination format: the batch
// conversion (ConvertFiles) beside a baseline measured in the same run, a
// loop of LoadLuminaire (as read) + CalcFlux + the writer over the same files. With the
// files added to the catalogue, the conversion is measured against the
// baseline plus adding the same records directly.
// The files are the corpus's EULUMDAT and IES files, repeated under numbered
// names; without the corpus, generated EULUMDAT files take their place.
#include <benchmark/benchmark.h>

#include "bench_temp.h"

#include "ratio_reporter.h"
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>

#include "conversion/convert_files.h"
#include "storage/indexed_table.h"
#include "database/catalogue.h"
#include "database/catalogue_record.h"
#include "frame/settings.h"
#include "shell/ui_services.h"
#include "photometry/conversion.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"

namespace {

namespace fsys = std::filesystem;
using namespace kandelo;

constexpr int kFiles = 1000;

struct World {
  std::string dir;
  std::vector<std::string> files;
  CollectingUi quiet;

  World() {
    dir = bench::TempDir("conversion");
    setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
    LoadSettings();
    setUiServices(&quiet);
    std::vector<fsys::path> sources;
    const fsys::path corpus = fsys::path(KANDELO_SOURCE_DIR) / ".." / "shared" / "corpus";
    if (fsys::is_directory(corpus))
      for (const auto& e : fsys::recursive_directory_iterator(corpus)) {
        std::string ext = e.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        TLUM32 probe;
        if (e.is_regular_file() && (ext == ".ldt" || ext == ".ies") && LoadLuminaire(e.path().string(), probe, LoadValues::AsRead).ok())
          sources.push_back(e.path());
      }
    std::sort(sources.begin(), sources.end());
    fsys::create_directories(dir + "/in");
    if (sources.empty()) {
      TLUM32 lum;
      lum.CreateNew(dir + "/gen.ldt", psCGamma, symC0C180, 0, 7, 0, 30, 180, {}, 19, 0, 5, 90, {});
      for (int i = 1; i <= 7; ++i)
        for (int j = 1; j <= 19; ++j) lum.SetValue(i, j, 300.0f - 12.0f * float(j) + float(i));
      lum.LampSetCount = 1;
      lum.LampSets[0].LampCount = 1;
      lum.LampSets[0].SetFlux = 3000;
      lum.SaveAs(fmtEulumdat, dir + "/gen.ldt");
      sources.push_back(dir + "/gen.ldt");
    }
    for (int k = 0; k < kFiles; ++k) {
      const fsys::path& src = sources[static_cast<std::size_t>(k) % sources.size()];
      const std::string name = dir + "/in/f" + std::to_string(k) + src.extension().string();
      fsys::copy_file(src, name);
      files.push_back(name);
    }
    if (InitDatabaseEngine() != 0) std::abort();
  }
  ~World() {
    CloseCatalogue();
    setUiServices(nullptr);
    std::error_code ec;
    fsys::remove_all(dir, ec);
  }
  std::string Out(const std::string& name) {
    const std::string d = dir + "/" + name;
    fsys::remove_all(d);
    fsys::create_directories(d);
    return d;
  }
  void FreshCatalogue() {
    CloseCatalogue();
    for (const char* ext : {".DAT", ".IDX"}) fsys::remove(Settings().LumDb + ext);
    if (!InitCatalogue(Settings().LumDb)) std::abort();
  }
};

std::unique_ptr<World>& worldPtr() {
  static std::unique_ptr<World> w;
  return w;
}
World& world() {
  if (!worldPtr()) worldPtr() = std::make_unique<World>();
  return *worldPtr();
}

std::string Ext(std::uint8_t code) {
  return ConversionDestinations()[static_cast<std::size_t>(DestinationOfCode(code))].extension;
}

// The writer loop without the batch: the same files, the same names.
void Baseline(std::uint8_t code, const std::string& out, bool add) {
  World& w = world();
  TLUM32 lum;
  for (const auto& f : w.files) {
    if (!LoadLuminaire(f, lum, LoadValues::AsRead).ok()) continue;
    lum.CalcFlux();
    PrepareForFormat(lum, code);
    const std::string target = out + "/" + fsys::path(f).stem().string() + "." + Ext(code);
    lum.SaveAs(code, target);
    if (add) {
      TCatalogueRecord rec;
      FillCatalogueRecord(lum, rec);
      SetCatalogueFileName(rec, fsys::path(target).filename().string());
      rec.SetFormatCode(code);
      std::int32_t recNo = 0;
      if (FindCatalogueFile(rec, recNo)) UpdateCatalogueRecord(rec, recNo);
      else AddCatalogueRecord(rec, recNo);
    }
  }
}

void BM_Baseline(benchmark::State& state) {
  const auto code = static_cast<std::uint8_t>(state.range(0));
  const bool add = state.range(1) != 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string out = world().Out("base");
    if (add) world().FreshCatalogue();
    state.ResumeTiming();
    Baseline(code, out, add);
  }
  state.SetItemsProcessed(state.iterations() * kFiles);
}

void BM_ConvertFiles(benchmark::State& state) {
  const auto code = static_cast<std::uint8_t>(state.range(0));
  const bool add = state.range(1) != 0;
  for (auto _ : state) {
    state.PauseTiming();
    ConversionSettings s;
    s.DstFormat = DestinationOfCode(code);
    s.DstExt = Ext(code);
    s.DstDir = world().Out("batch");
    s.AddToCatalogue = add;
    if (add) world().FreshCatalogue();
    state.ResumeTiming();
    const ConversionReport r = ConvertFiles(world().files, s);
    if (r.stopped || r.written == 0) state.SkipWithError(r.stopReason.c_str());
  }
  state.SetItemsProcessed(state.iterations() * kFiles);
}

void Formats(benchmark::internal::Benchmark* b) {
  for (int code : {0, 2, 4, 5, 6, 7}) b->Args({code, 0});
  b->Args({0, 1});
}
BENCHMARK(BM_Baseline)->Apply(Formats)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ConvertFiles)->Apply(Formats)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  world();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (auto [code, add] : std::vector<std::pair<int, int>>{{0, 0}, {2, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {0, 1}}) {
    const std::string args = "/" + std::to_string(code) + "/" + std::to_string(add) + "/iterations:3";
    auto a = reporter.seconds.find("BM_ConvertFiles" + args), b = reporter.seconds.find("BM_Baseline" + args);
    if (a != reporter.seconds.end() && b != reporter.seconds.end() && b->second > 0)
      std::printf("ratio convert / writer loop, %-14s%s %6.2f\n", FormatByCode(std::uint8_t(code)).name,
                  add ? " + catalogue" : "            ", a->second / b->second);
  }
  worldPtr().reset();  // the temporary files and catalogue go before the engine's statics
  benchmark::Shutdown();
  return 0;
}
