#include "database/lamp_table.h"

#include <memory>

#include "storage/indexed_repair.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "platform/text.h"

namespace kandelo {

namespace {

struct LampTableState {
  std::unique_ptr<IndexedTable> tree;
  TLampRecord buffer;
};

LampTableState& state() {
  static LampTableState s;
  return s;
}

bool entriesMatchRecords(IndexedTable& t) {
  std::int64_t sum = 0;
  for (int k = 1; k <= 2; ++k) {
    if (t.SelectKey(k) != isam::kOk) return false;
    sum += t.EntryCount();
  }
  t.SelectKey(1);
  return sum / 2 == t.RecordCount();
}

}  // namespace

bool OpenLampTable(const std::string& path, std::string* fault) {
  CloseLampTable();
  const bool network = DatabaseEngine() ? DatabaseEngine()->NetworkOption() : true;
  auto t = std::make_unique<IndexedTable>(
      path, network, state().buffer.data(), true,
      [](const unsigned char* rec, int keyNo) { return LampKey(rec, keyNo); },
      static_cast<int>(kLampRecordSize));
  if (!t->IsReady()) {
    if (fault) *fault = "Base not Init : " + std::to_string(t->LastError());
    return false;
  }
  t->DefineKey(1, kLampKeyLength, false);
  t->DefineKey(2, kLampKeyLength, false);
  RepairOptions options;
  options.checks = {entriesMatchRecords};
  const RepairResult opened = OpenWithRepair(*t, options);
  if (!opened.failure.empty() && fault) *fault = opened.failure;
  if (opened.error != isam::kOk) return false;
  t->SelectKey(1);
  state().tree = std::move(t);
  return true;
}

void CloseLampTable() { state().tree.reset(); }
IndexedTable* LampTable() { return state().tree.get(); }
TLampRecord& LampBuffer() { return state().buffer; }

std::int32_t FindLampTwin(const TLampRecord& lamp) {
  IndexedTable* t = LampTable();
  if (!t) return 0;
  const std::string wanted = LampKey(lamp, 1);
  const std::string type = TrimBlanks(wanted.substr(0, 20));
  const int keyBefore = t->CurrentKeyNumber();
  t->SavePosition();
  t->SelectKey(1);
  t->ResetKey();
  std::int32_t found = 0;
  std::string key;
  while (!found && t->NextKey(key) == isam::kOk)
    if (key.size() == wanted.size() && key.compare(20, 2, wanted, 20, 2) == 0 &&
        platform::equalTextCI(TrimBlanks(key.substr(0, 20)), type))
      found = t->CurrentRecordNumber();
  t->SelectKey(keyBefore);
  t->RestorePosition();
  return found;
}

std::string DefaultLampTablePath() { return AddBackslash(Settings().ExtData) + "DEFLAMPS"; }

}  // namespace kandelo
