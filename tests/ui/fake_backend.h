// A small in-memory catalogue behind the browser: records sorted by the five
// keys, a key cursor, and counters of what the browser asked for.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "frame/strutil.h"
#include "graphics/device.h"
#include "platform/text.h"
#include "ui/browser_backend.h"

namespace kandelo::test {

class FakeBackend : public BrowserBackend {
 public:
  std::vector<CatalogueRow> rows;  // recNo = index + 1
  int keyNo = 1;
  int pos = 0;  // 0 before the first entry; 1..N
  std::vector<int> order;
  int steps = 0, reads = 0, loads = 0, positions = 0;
  std::string luminaire;
  std::vector<std::string> pathList{"/lum/"};

  void Add(std::string name, std::string number, std::string file, std::string maker, std::string format) {
    CatalogueRow r;
    r.recNo = static_cast<std::int32_t>(rows.size() + 1);
    r.name = std::move(name);
    r.number = std::move(number);
    r.fileName = std::move(file);
    r.manufacturer = std::move(maker);
    r.formatName = std::move(format);
    rows.push_back(r);
  }

  static std::string Pad(const std::string& s, std::size_t w) {
    std::string u = platform::upper1252(s.substr(0, w));
    u.resize(w, ' ');
    return u;
  }
  std::string KeyOf(const CatalogueRow& r) const {
    const std::string n = Pad(r.name, 24), m = Pad(r.number, 24), f = Pad(r.fileName, 12),
                      h = Pad(r.manufacturer, 24), t = Pad(r.formatName, 1);
    switch (keyNo) {
      case 2: return m + n + f + h + t;
      case 3: return f + n + m + h + t;
      case 4: return t + n + m + f + h;
      case 5: return h + n + m + f + t;
      default: return n + m + f + h + t;
    }
  }

  bool open = true;
  bool changedElsewhere = false;  // another station changed the catalogue
  bool CatalogueChangedElsewhere() override { return std::exchange(changedElsewhere, false); }
  bool CatalogueOpen() const override { return open; }
  std::int32_t RecordCount() override { return static_cast<std::int32_t>(rows.size()); }
  int SelectKey(int k) override {
    keyNo = k;
    order.clear();
    for (std::size_t i = 0; i < rows.size(); ++i) order.push_back(static_cast<int>(i));
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
      return KeyOf(rows[static_cast<std::size_t>(a)]) < KeyOf(rows[static_cast<std::size_t>(b)]);
    });
    pos = 0;
    return 0;
  }
  int ResetKey() override {
    pos = 0;
    return 0;
  }
  int Step(int to, std::string& key, std::int32_t& recNo) {
    ++steps;
    if (to < 1 || to > static_cast<int>(order.size())) return 10250;
    pos = to;
    const CatalogueRow& r = rows[static_cast<std::size_t>(order[static_cast<std::size_t>(pos - 1)])];
    key = KeyOf(r);
    recNo = r.recNo;
    return 0;
  }
  int PositionKey(const std::string& key, std::int32_t recNo) override {
    ++positions;
    for (std::size_t i = 0; i < order.size(); ++i) {
      const CatalogueRow& r = rows[static_cast<std::size_t>(order[i])];
      if (r.recNo == recNo && KeyOf(r) == key) {
        pos = static_cast<int>(i) + 1;
        return 0;
      }
    }
    return 10270;
  }
  int NextKey(std::string& key, std::int32_t& recNo) override { return Step(pos + 1, key, recNo); }
  int PrevKey(std::string& key, std::int32_t& recNo) override { return Step(pos - 1, key, recNo); }
  bool ReadRecord(std::int32_t recNo, CatalogueRow& row) override {
    ++reads;
    if (recNo < 1 || recNo > static_cast<std::int32_t>(rows.size())) return false;
    row = rows[static_cast<std::size_t>(recNo - 1)];
    return true;
  }
  bool DeleteRecord(std::int32_t recNo) override {
    if (recNo < 1 || recNo > static_cast<std::int32_t>(rows.size())) return false;
    rows.erase(rows.begin() + (recNo - 1));
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i].recNo = static_cast<std::int32_t>(i + 1);
    SelectKey(keyNo);
    return true;
  }
  void DeleteWholeCatalogue() override { rows.clear(); SelectKey(keyNo); }
  void RebuildCatalogue() override {}
  void WriteVersionLabel(const std::string& label) override { labels.push_back(label); }
  std::vector<std::string> labels;
  std::string GetPath(std::int32_t index) override {
    return index >= 0 && index < static_cast<std::int32_t>(pathList.size()) ? pathList[static_cast<std::size_t>(index)]
                                                                             : std::string();
  }
  void EnsurePathListed(const std::string&) override {}
  bool DirectoryCatalogued(const std::string& dir) override {
    return std::find(pathList.begin(), pathList.end(), dir) != pathList.end() ||
           std::find(pathList.begin(), pathList.end(), AddBackslash(dir)) != pathList.end();
  }
  IntakeReport AddAllBelowRoot() override { return addCounts; }
  std::optional<IntakeReport> AddFilesByDialog() override { return std::nullopt; }
  // Files handed over: each one becomes a new entry named after its file.
  IntakeReport AddFiles(const std::vector<std::string>& paths, std::int32_t& firstRecNo) override {
    IntakeReport c;
    firstRecNo = 0;
    for (const auto& p : paths) {
      handed.push_back(p);
      Add("Handed " + p.substr(p.find_last_of('/') + 1), "H", p.substr(p.find_last_of('/') + 1), "Maker", "EULUM-DAT");
      ++c.added;
      if (firstRecNo == 0) firstRecNo = rows.back().recNo;
    }
    return c;
  }
  // A folder: one entry for it, named after it.
  IntakeReport AddTree(const std::string& dir) override {
    trees.push_back(dir);
    Add("Folder " + dir.substr(dir.find_last_of('/') + 1), "F", "FOLDER.LDT", "Maker", "EULUM-DAT");
    IntakeReport c;
    c.added = 1;
    return c;
  }
  std::vector<std::string> trees;
  IntakeReport addCounts;
  std::vector<std::string> handed;
  void SavePathList() override {}
  bool LoadLuminaire(const std::string& path) override {
    ++loads;
    luminaire = path;
    return true;
  }
  void ClearLuminaire() override { luminaire.clear(); }
  std::string LuminairePath() const override { return luminaire; }
  void DrawDiagram(TDevice& dc, const TRect& r, const std::string&) override {
    dc.Ellipse(r.left, r.top, r.right, r.bottom);
  }
};

// Five entries, one of each format.
inline void FillSample(FakeBackend& b) {
  b.Add("Downlight 150", "DL-150", "DL150.LDT", "Lumen AG", "EULUM-DAT");
  b.Add("Leuchte Eco", "LE-2", "ECO.IES", "Beta GmbH", "IES LM63/95");
  b.Add("Leuchtband", "LB-1", "BAND.LDT", "Alpha", "EULUM-DAT");
  b.Add("Wallwasher", "WW-3", "WALL.CIB", "Lumen AG", "TM14");
  b.Add("Uplight", "UP-9", "UPL.LTL", "Delta", "LTLI");
}

}  // namespace kandelo::test
