// Shared set-up of the tests of several stations on one indexed file: network
// mode forced for every path, stations as IndexedTable objects with buffers of
// their own, and a check that the files are sound and keyed as their records say.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "isam_fixture.h"

namespace kandelo::test {

// The environment variable for the lifetime of the guard.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, had_ = true;
    ::setenv(name, value, 1);
  }
  ~ScopedEnv() {
    if (had_)
      ::setenv(name_, old_.c_str(), 1);
    else
      ::unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

struct Station {
  unsigned char buf[kRecLen] = {};
  std::unique_ptr<IndexedTable> table;
  int open(const std::string& base) {
    table = std::make_unique<IndexedTable>(base, true, buf, true, TestKey, kRecLen);
    for (int k = 1; k <= 2; ++k) table->DefineKey(k, TestKeys()[k - 1].length, TestKeys()[k - 1].duplicates);
    return table->Open();
  }
  isam::IndexedFile* file() const { return table->File(); }
  int add(std::int32_t id, const std::string& name) {
    FillRecord(buf, id, name);
    return table->Add();
  }
  // Positions on the record with the id and reads it; the engine's number.
  int find(std::int32_t id) {
    table->SelectKey(2);
    std::string key = IdKey(id);
    if (int err = table->FindKey(key)) return err;
    return table->ReadRecord(table->CurrentRecordNumber());
  }
  // id -> name of every record, walking key 2.
  std::map<std::int32_t, std::string> contents(int* error = nullptr) {
    std::map<std::int32_t, std::string> out;
    table->SelectKey(2);
    table->ResetKey();
    std::string key;
    int err = 0;
    while ((err = table->NextKey(key)) == 0) {
      if ((err = table->ReadRecord(table->CurrentRecordNumber())) != 0) break;
      out[RecordId(buf)] = RecordName(buf);
    }
    if (error) *error = err == isam::kErrEndOfIndex ? 0 : err;
    return out;
  }
};

// Structure (CheckIndexedFile) and that each key holds exactly the entries
// its records give: empty when sound. `records` receives id -> name.
inline std::string CheckKeyedFile(const std::string& base, std::map<std::int32_t, std::string>* records = nullptr) {
  const CheckedFile c = CheckIndexedFile(base);
  if (!c.error.empty()) return c.error;
  const std::string data = readFile(isam::DataFilePath(base));
  std::vector<std::set<std::pair<std::string, std::int32_t>>> expected(2);
  for (std::int32_t r : c.usedRecords) {
    const auto* rec = reinterpret_cast<const unsigned char*>(data.data()) + std::size_t(r) * kRecLen;
    for (int k = 1; k <= 2; ++k) expected[k - 1].insert({TestKey(rec, k), r});
    if (records) (*records)[RecordId(rec)] = RecordName(rec);
  }
  for (int k = 0; k < 2; ++k) {
    const std::set<std::pair<std::string, std::int32_t>> have(c.keys[k].entries.begin(), c.keys[k].entries.end());
    if (have != expected[k] || have.size() != c.keys[k].entries.size())
      return "key " + std::to_string(k + 1) + " differs from the records";
  }
  return {};
}

class StationsTest : public EngineTest {
 protected:
  ScopedEnv network_{"KANDELO_NETWORK_MODE", "force"};
};

}  // namespace kandelo::test
