#include "database/catalogue.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "storage/indexed_repair.h"
#include "frame/strutil.h"
#include "photometry/lum32.h"
#include "platform/fileio.h"

namespace kandelo {

namespace pf = kandelo::platform;

namespace {

struct CatalogueState {
  std::unique_ptr<IndexedTable> tree;
  TCatalogueRecord buffer;
  std::string base;
  std::uint64_t openings = 0;  // InitCatalogue calls so far
};

CatalogueState& state() {
  static CatalogueState s;
  return s;
}

std::unique_ptr<IndexedTable> makeTree(const std::string& base, bool autoCreate) {
  const bool network = DatabaseEngine() ? DatabaseEngine()->NetworkOption() : true;
  auto t = std::make_unique<IndexedTable>(
      base, network, state().buffer.data(), autoCreate,
      [](const unsigned char* rec, int keyNo) { return CatalogueKey(rec, keyNo); },
      static_cast<int>(kCatalogueRecordSize));
  t->SetRecordCheck([](const unsigned char* rec) { return CheckCatalogueRecord(rec); });
  if (t->IsReady()) {
    for (int k = 1; k <= 5; ++k) t->DefineKey(k, kCatalogueSortKeyLength, true);
    t->DefineKey(6, kCatalogueFileKeyLength, false);
  }
  return t;
}

// The text of a fault, for the caller that asked for it.
void say(std::string* fault, std::string text) {
  if (fault) *fault = std::move(text);
}

std::string notInit(const IndexedTable& t) {
  return t.LastError() ? "Base not Init : " + std::to_string(t.LastError()) : std::string("Base not Init ");
}

// Reads a record through the file layer, leaving the object's buffers alone.
// False for a record that is not in use.
bool readRaw(IndexedTable& t, std::int32_t n, TCatalogueRecord& rec) {
  return isam::GetRecord(t.File(), n, rec.data()) == isam::kOk && GetU32(rec.data()) == 0;
}

bool keyCountIsSix(IndexedTable& t) { return t.KeyCount() == kCatalogueKeyCount; }

// Eleven steps along key 1 must all succeed. A catalogue of ten entries or
// fewer is checked without rewriting it (other stations may be adding to it):
// the walk must end at the end of the index after exactly its entries.
bool eleventhStepSucceeds(IndexedTable& t) {
  if (t.SelectKey(1) != isam::kOk) return false;
  t.ResetKey();
  std::string key;
  std::int64_t steps = 0;
  for (; steps < 11; ++steps) {
    const int e = t.NextKey(key);
    if (e == isam::kErrEndOfIndex) break;
    if (e != isam::kOk || key.size() != static_cast<std::size_t>(kCatalogueSortKeyLength)) return false;
  }
  return steps == 11 || steps == t.EntryCount();  // no wrap-around after the end
}

bool entryCountsMatchRecords(IndexedTable& t) {
  std::int64_t sum = 0;
  for (int k = 1; k <= kCatalogueKeyCount; ++k) {
    if (t.SelectKey(k) != isam::kOk) return false;
    sum += t.EntryCount();
  }
  t.SelectKey(1);
  return sum / kCatalogueKeyCount == t.RecordCount();
}

void takeNameOf(const TCatalogueRecord& stored, TCatalogueRecord& rec) {
  rec.SetFileNameField(stored.FileNameField());
  rec.SetRealNameField(stored.RealNameField());
}

// Walks the key-6 entries that share the alias prefix of the name. Finds the
// record of that name in the directory, or marks the sequence numbers taken.
bool findByAlias(IndexedTable& t, const std::string& name, std::int32_t dir, std::int32_t& recNo,
                 std::array<bool, kAliasSequenceCount + 1>& used, TCatalogueRecord& rec) {
  const std::string prefix = AliasPrefix(name);
  std::string key = prefix;
  int e = t.SearchKey(key);
  while (e == isam::kOk && key.compare(0, prefix.size(), prefix) == 0) {
    if (key.size() == static_cast<std::size_t>(kCatalogueFileKeyLength) &&
        DirectoryIndexFromKey(std::string_view(key).substr(12, 4)) == dir) {
      TCatalogueRecord other;
      if (readRaw(t, t.CurrentRecordNumber(), other) && CatalogueFileName(other) == name) {
        recNo = t.CurrentRecordNumber();
        takeNameOf(other, rec);
        return true;
      }
      used[static_cast<std::size_t>(AliasSequenceOf(key[prefix.size()]))] = true;
    }
    e = t.NextKey(key);
  }
  return false;
}

std::int16_t toI16(int v) { return static_cast<std::int16_t>(std::clamp(v, -32768, 32767)); }

std::string lastComponent(const std::string& path) {
  auto i = path.find_last_of(kPathSep);
  return i == std::string::npos ? path : path.substr(i + 1);
}

}  // namespace

std::int32_t WalkListEntries(int keyNo, bool all, const std::string& from, const std::string& prefix,
                             const std::function<bool(const unsigned char*)>& take) {
  IndexedTable* t = Catalogue();
  if (!t) return -1;
  t->SavePosition();
  std::int32_t count = 0;
  bool ok = t->SelectKey(keyNo) == isam::kOk;
  if (ok) {
    std::string key = from;
    int e;
    if (all) {
      t->ResetKey();
      e = t->NextKey(key);
    } else {
      e = t->SearchKey(key);
    }
    // The records are looked at in the engine's cache, not copied out: the
    // list of a large catalogue costs little more than the walk itself.
    const unsigned char* rec = nullptr;
    while (e == isam::kOk) {
      if (!all && std::string_view(key).substr(0, prefix.size()).compare(prefix) > 0) break;
      if (t->PeekRecord(rec) != isam::kOk || GetU32(rec) != 0 || !take(rec)) {
        ok = false;
        break;
      }
      ++count;
      e = t->NextKey(key);
    }
    if (e != isam::kOk && e != isam::kErrEndOfIndex && e != isam::kErrSearchEnd) ok = false;
  }
  t->RestorePosition();
  return ok ? count : -1;
}

namespace {

std::int32_t exportEntries(int keyNo, bool all, const std::string& from, const std::string& prefix) {
  if (!Catalogue()) return -1;
  const std::string path = ListFilePath();
  auto h = pf::fs().open(path, pf::OpenMode::Create);
  if (!h) return -1;
  // Records are collected and written in blocks: one write per record
  // would cost more than the walk itself.
  constexpr std::size_t kBlockRecords = 256;
  std::string block;
  block.reserve(kBlockRecords * kCatalogueRecordSize);
  std::int32_t count = WalkListEntries(keyNo, all, from, prefix, [&](const unsigned char* rec) {
    block.append(reinterpret_cast<const char*>(rec), kCatalogueRecordSize);
    if (block.size() < kBlockRecords * kCatalogueRecordSize) return true;
    const bool written = h->write(block.data(), block.size());
    block.clear();
    return written;
  });
  if (count >= 0 && !block.empty() && !h->write(block.data(), block.size())) count = -1;
  if (!h->close()) count = -1;
  if (count <= 0) pf::fs().removeFile(path);
  return count;
}

}  // namespace

IndexedTable* Catalogue() { return state().tree.get(); }
TCatalogueRecord& CatalogueBuffer() { return state().buffer; }
const std::string& CatalogueBasePath() { return state().base; }

std::uint64_t CatalogueOpenings() { return state().openings; }

bool InitCatalogue(const std::string& basePath, std::string* fault, const ConfirmRepair& confirm) {
  CloseCatalogue();
  ++state().openings;
  state().base = basePath;
  auto t = makeTree(basePath, true);
  if (!t->IsReady()) {
    say(fault, notInit(*t));
    return false;
  }
  // Records lost by an outside hand (a deleted or cut data file) are said,
  // not repaired away in silence: the files stay as they are unless the
  // user agrees to the new or rebuilt catalogue. While anybody else has the
  // catalogue open, the look at the data file proves nothing (another
  // station may be writing a change into it that moment) and no rebuild
  // could run anyway: the open, which reads under the stations' locks, decides.
  isam::DataFileState inspected = isam::InspectDataFile(basePath);
  if (inspected != isam::DataFileState::Sound && isam::StationsOpen(basePath)) inspected = isam::DataFileState::Sound;
  switch (inspected) {
    case isam::DataFileState::Missing:
      if (!confirm || !confirm("The catalogue data file " + isam::DataFilePath(basePath) +
                               " is missing; its index is kept. Create a new, empty catalogue?"))
        return false;
      if (t->CreateFiles() != isam::kOk) {
        say(fault, "DB creation error : " + std::to_string(t->LastError()));
        return false;
      }
      t->Close();
      break;
    case isam::DataFileState::Short:
      if (!confirm || !confirm("The catalogue data file " + isam::DataFilePath(basePath) +
                               " is shorter than its header says: records are lost. The index is kept. Rebuild "
                               "the catalogue from the records that are left?"))
        return false;
      break;
    case isam::DataFileState::Sound:
      break;
  }
  RepairOptions options;
  options.silentTooManyFiles = true;
  options.checks = {keyCountIsSix, eleventhStepSucceeds, entryCountsMatchRecords};
  const RepairResult opened = OpenWithRepair(*t, options);
  if (!opened.failure.empty()) say(fault, opened.failure);
  if (opened.error != isam::kOk) return false;
  t->SelectKey(1);
  state().tree = std::move(t);
  return true;
}

int RebuildCatalogue(std::string* fault) {
  const std::string base = state().base;
  if (base.empty()) return isam::kErrNotReady;
  CloseCatalogue();
  // Moving the data file aside under another program's feet would lose its work.
  if (CatalogueHolderPid(base)) return isam::kErrAccessDenied;
  auto t = makeTree(base, false);
  if (!t->IsReady()) {
    say(fault, notInit(*t));
    return t->LastError() ? t->LastError() : isam::kErrNotReady;
  }
  if (isam::InspectDataFile(base) == isam::DataFileState::Missing) {
    // Nothing to rebuild from: the rebuild asked for gives a new, empty catalogue.
    const int created = t->CreateFiles();
    if (created == isam::kOk) state().tree = std::move(t);
    return created;
  }
  int r = RebuildRecovering(*t);
  int opened = t->Open();
  if (opened == isam::kOk) state().tree = std::move(t);
  return r != isam::kOk ? r : opened;
}

void CloseCatalogue() { state().tree.reset(); }

std::optional<int> CatalogueHolderPid(const std::string& lumDbBase) {
  // The stations of network mode share the data file (shared locks); only a
  // program that holds it alone keeps another station out.
  const std::optional<int> holder = pf::lockHolder(isam::DataFilePath(lumDbBase), SharedByStations(lumDbBase));
  if (holder && *holder == pf::processId()) return std::nullopt;
  return holder;
}

bool DeleteWholeCatalogue(std::string* fault) {
  const std::string base = state().base;
  if (base.empty()) return false;
  CloseCatalogue();
  // Other stations would go on in the deleted files.
  if (isam::StationsOpen(base)) {
    InitCatalogue(base, fault);
    return false;
  }
  // The index goes with the data: a lone index would read as lost data.
  pf::fs().removeFile(isam::DataFilePath(base));
  pf::fs().removeFile(isam::IndexFilePath(base));
  return InitCatalogue(base, fault);
}

bool FillCatalogueRecord(TLUM32& lum, TCatalogueRecord& rec) {
  if (!lum.FluxValid) lum.CalcFlux();
  if (!lum.MaxValid) lum.FindMaxIntensity();
  rec.SetSymmetry(lum.Symmetry);
  rec.SetDistributionKind(lum.DistributionKind);
  const bool named = SetCatalogueFileName(rec, lastComponent(lum.FileName));
  rec.SetLumNumber(lum.LumNumber);
  rec.SetLumName(lum.LumName);
  if (lum.LampSetCount != 0) {
    const TLampSet& set = lum.LampSets[0];
    rec.SetLampCount(set.LampCount);
    rec.SetLampType(set.LampType);
    rec.SetLampFlux(set.SetFlux);
    rec.SetI16(catoff::LampWatt, set.SetWatt);
  }
  rec.SetManufacturer(lum.Manufacturer);
  if (lum.Diameter != 0) {
    rec.SetI16(catoff::LumLength, toI16(lum.Diameter));
    rec.SetI16(catoff::LumHeight, toI16(lum.Height[0]));
  } else {
    rec.SetI16(catoff::LumLength, toI16(lum.Length));
    rec.SetI16(catoff::LumWidth, toI16(lum.Width));
    rec.SetI16(catoff::LumHeight, toI16(lum.Height[0]));
  }
  if (lum.LumAreaDiameter != 0) {
    rec.SetI16(catoff::AreaLength, toI16(lum.LumAreaDiameter));
    rec.SetI16(catoff::AreaHeight, toI16(lum.LumAreaHeight[0]));
  } else {
    rec.SetI16(catoff::AreaLength, toI16(lum.LumAreaLength));
    rec.SetI16(catoff::AreaWidth, toI16(lum.LumAreaWidth));
    rec.SetI16(catoff::AreaHeight, toI16(lum.LumAreaHeight[0]));
  }
  rec.SetFormatCode(lum.FormatCode);
  return named;
}

int AddCatalogueRecord(const TCatalogueRecord& rec, std::int32_t& recordNumber) {
  recordNumber = 0;
  IndexedTable* t = Catalogue();
  if (!t) return isam::kErrNotReady;
  state().buffer = rec;
  int r = t->Add();
  if (r == isam::kOk) recordNumber = t->CurrentRecordNumber();
  return r;
}

bool DeleteCatalogueRecord(std::int32_t recordNumber) {
  IndexedTable* t = Catalogue();
  return t && t->ReadRecord(recordNumber) == isam::kOk && t->Delete() == isam::kOk;
}

bool UpdateCatalogueRecord(const TCatalogueRecord& rec, std::int32_t recordNumber) {
  IndexedTable* t = Catalogue();
  if (!t || t->ReadRecord(recordNumber) != isam::kOk) return false;
  state().buffer = rec;
  if (std::lround(static_cast<double>(rec.Factor()) * 1000.0) == 0) state().buffer.SetFactor(1.0f);
  return t->Update() == isam::kOk;
}

bool ReadCatalogueRecord(std::int32_t recordNumber, TCatalogueRecord& rec) {
  IndexedTable* t = Catalogue();
  if (!t || t->ReadRecord(recordNumber) != isam::kOk) return false;
  rec = state().buffer;
  return GetU32(rec.data()) == 0;
}

bool FindCatalogueFile(TCatalogueRecord& rec, std::int32_t& recordNumber) {
  recordNumber = 0;
  IndexedTable* t = Catalogue();
  if (!t) return false;
  const int previousKey = t->CurrentKeyNumber();
  t->SelectKey(6);
  const std::string name = CatalogueFileName(rec);
  const std::int32_t dir = rec.DirIndex();
  bool found = false, clash = false;
  if (name.size() <= kFileNameFieldWidth) {
    std::string key = FileKey(name, dir);
    if (t->FindKey(key) == isam::kOk) {
      TCatalogueRecord other;
      if (readRaw(*t, t->CurrentRecordNumber(), other) && CatalogueFileName(other) == name) {
        found = true;
        recordNumber = t->CurrentRecordNumber();
        takeNameOf(other, rec);
      } else {
        clash = true;  // another name holds the key: this one needs an alias
      }
    }
  }
  if (!found) {
    std::array<bool, kAliasSequenceCount + 1> used{};
    // A short name may have been given an alias during an earlier clash.
    found = findByAlias(*t, name, dir, recordNumber, used, rec);
    if (!found) {
      if (name.size() <= kFileNameFieldWidth && !clash) {
        SetCatalogueFileName(rec, name);
      } else {
        recordNumber = kNoFreeAlias;
        for (int s = 1; s <= kAliasSequenceCount; ++s) {
          if (used[static_cast<std::size_t>(s)]) continue;
          rec.SetRealNameField(name);
          rec.SetFileNameField(LongNameAlias(name, s));
          recordNumber = 0;
          break;
        }
      }
    }
  }
  t->SelectKey(previousKey);
  return found;
}

bool WriteVersionLabel(std::string_view label) {
  IndexedTable* t = Catalogue();
  if (!t || t->RecordCount() <= 0) return false;
  t->SavePosition();
  bool ok = t->ReadRecord(1) == isam::kOk && GetU32(state().buffer.data()) == 0;
  if (ok) {
    state().buffer.SetVersionLabel(label);
    ok = t->PutRecord(1) == isam::kOk;
  }
  t->RestorePosition();
  return ok;
}

std::string ListFilePath() { return ChangeFileExt(isam::DataFilePath(state().base), ".FIL"); }

std::int32_t ExportAll(int keyNo) { return exportEntries(keyNo, true, {}, {}); }

std::int32_t ExportKeyRange(int keyNo, const std::string& from, const std::string& prefix) {
  return exportEntries(keyNo, false, from, prefix);
}

}  // namespace kandelo
