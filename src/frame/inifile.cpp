#include "frame/inifile.h"

#include <algorithm>

#include "frame/strutil.h"
#include "platform/fileio.h"
#include "platform/text.h"

namespace kandelo {

namespace pf = kandelo::platform;

tqvmstring::tqvmstring(std::string value) : value_(Cut(value)) {}
void tqvmstring::SetValue(std::string_view v) { value_ = Cut(v); }

tsection::tsection(std::string name) : name_(std::move(name)) {}

void tsection::SetName(std::string_view name) { name_ = std::string(name); }

void tsection::AddLine(std::string_view line) {
  auto eq = line.find('=');
  if (eq == std::string_view::npos) return;
  FindOrCreate(line.substr(0, eq)).SetValue(line.substr(eq + 1));
}

const std::string& tsection::GetKey(int index) const { return entries_.at(static_cast<std::size_t>(index)).key; }
const std::string& tsection::GetValue(int index) const {
  return entries_.at(static_cast<std::size_t>(index)).value.Value();
}

int tsection::Find(std::string_view key) const {
  auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                             [](const Entry& e, std::string_view k) { return pf::compareTextCI(e.key, k) < 0; });
  if (it != entries_.end() && pf::compareTextCI(it->key, key) == 0) return static_cast<int>(it - entries_.begin());
  return -1;
}

tqvmstring& tsection::FindOrCreate(std::string_view key) {
  auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                             [](const Entry& e, std::string_view k) { return pf::compareTextCI(e.key, k) < 0; });
  if (it != entries_.end() && pf::compareTextCI(it->key, key) == 0) return it->value;
  return entries_.insert(it, Entry{std::string(key), tqvmstring()})->value;
}

void tsection::AppendLine(std::string_view line) {
  auto eq = line.find('=');
  if (eq == std::string_view::npos) return;
  entries_.push_back(Entry{std::string(line.substr(0, eq)), tqvmstring(std::string(line.substr(eq + 1)))});
}

void tsection::SortAppended() {
  // Equal keys stay in file order; the last of them is the one kept.
  auto less = [](const Entry& a, const Entry& b) { return pf::compareTextCI(a.key, b.key) < 0; };
  std::stable_sort(entries_.begin(), entries_.end(), less);
  std::size_t out = 0;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (i + 1 < entries_.size() && !less(entries_[i], entries_[i + 1])) continue;
    if (out != i) entries_[out] = std::move(entries_[i]);
    ++out;
  }
  entries_.resize(out);
}

std::string tsection::EntryLine(int index) const { return GetKey(index) + "=" + GetValue(index); }

TBigInifile::TBigInifile(std::string fileName, bool utf8File) : fileName_(Cut(fileName)), utf8File_(utf8File) {
  auto text = pf::readWholeFile(fileName_);
  if (!text) return;
  if (!utf8File_) {
    SetTextStr(*text);
    return;
  }
  std::string_view t = *text;
  if (t.substr(0, 3) == "\xEF\xBB\xBF") t.remove_prefix(3);
  if (pf::isUtf8Text(t)) {
    SetTextStr(pf::utf8ToCp1252(t));
    return;
  }
  wasAnsi_ = std::any_of(t.begin(), t.end(), [](char c) { return static_cast<unsigned char>(c) > 127; });
  SetTextStr(t);
}

int TBigInifile::IndexOf(std::string_view name) const {
  auto it = std::lower_bound(sections_.begin(), sections_.end(), name,
                             [](const std::unique_ptr<tsection>& s, std::string_view n) {
                               return pf::compareTextCI(s->Name(), n) < 0;
                             });
  if (it != sections_.end() && pf::compareTextCI((*it)->Name(), name) == 0)
    return static_cast<int>(it - sections_.begin());
  return -1;
}

void TBigInifile::InsertSection(std::unique_ptr<tsection> s) {
  auto it = std::lower_bound(sections_.begin(), sections_.end(), s->Name(),
                             [](const std::unique_ptr<tsection>& a, const std::string& n) {
                               return pf::compareTextCI(a->Name(), n) < 0;
                             });
  if (it != sections_.end() && pf::compareTextCI((*it)->Name(), s->Name()) == 0)
    *it = std::move(s);
  else
    sections_.insert(it, std::move(s));
}

tsection& TBigInifile::FindOrCreateSection(std::string_view name) {
  int i = IndexOf(name);
  if (i >= 0) return *sections_[static_cast<std::size_t>(i)];
  InsertSection(std::make_unique<tsection>(std::string(name)));
  return *sections_[static_cast<std::size_t>(IndexOf(name))];
}

const tsection* TBigInifile::FindSection(std::string_view name) const {
  int i = IndexOf(name);
  return i < 0 ? nullptr : sections_[static_cast<std::size_t>(i)].get();
}

bool TBigInifile::SectionExists(std::string_view name) const { return IndexOf(name) >= 0; }

void TBigInifile::SetTextStr(std::string_view text) {
  sections_.clear();
  tsection* current = nullptr;
  // Sections and entries in file order first, sorted once at the end.
  std::vector<std::unique_ptr<tsection>> read;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t e = i;
    while (e < text.size() && text[e] != '\r' && text[e] != '\n') ++e;
    std::string_view line = text.substr(i, std::min<std::size_t>(e - i, kMaxCounted));
    if (e < text.size() && text[e] == '\r' && e + 1 < text.size() && text[e + 1] == '\n') ++e;
    i = e + 1;

    if (!line.empty() && line[0] == '[') {
      std::size_t b = line.find_first_not_of("[]");
      std::size_t n = b == std::string_view::npos ? 0 : line.find_first_of("[]", b);
      std::string name = b == std::string_view::npos ? std::string() : std::string(line.substr(b, n - b));
      if (!name.empty()) {
        read.push_back(std::make_unique<tsection>(name));
        current = read.back().get();
        continue;
      }
    }
    if (current) current->AppendLine(line);
  }
  // A repeated section replaces the earlier block: the last one is kept.
  auto less = [](const std::unique_ptr<tsection>& a, const std::unique_ptr<tsection>& b) {
    return pf::compareTextCI(a->Name(), b->Name()) < 0;
  };
  std::stable_sort(read.begin(), read.end(), less);
  for (std::size_t i = 0; i < read.size(); ++i) {
    if (i + 1 < read.size() && !less(read[i], read[i + 1])) continue;
    read[i]->SortAppended();
    sections_.push_back(std::move(read[i]));
  }
}

std::string TBigInifile::GetTextStr() const {
  std::string out;
  for (auto& s : sections_) {
    out += '[';
    out += s->Name();
    out += "]\r\n";
    for (int k = 0; k < s->Count(); ++k) {
      out += s->GetKey(k);
      out += '=';
      out += s->GetValue(k);
      out += "\r\n";
    }
  }
  return out;
}

std::string TBigInifile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  const tsection* s = FindSection(section);
  if (!s) return std::string(def);
  int k = s->Find(key);
  return k < 0 ? std::string(def) : s->GetValue(k);
}

void TBigInifile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  if (!key.empty()) {
    FindOrCreateSection(section).FindOrCreate(key).SetValue(value);
  } else if (!section.empty() || !value.empty()) {
    EraseSection(section);
  } else {
    UpdateFile();
  }
}

long long TBigInifile::ReadInteger(std::string_view section, std::string_view key, long long def) const {
  const tsection* s = FindSection(section);
  if (!s) return def;
  int k = s->Find(key);
  if (k < 0) return def;
  std::string v = TrimBlanks(s->GetValue(k));
  long long n = 0;
  if (!v.empty() && v[0] == '$') {
    std::string hex = v.substr(1);
    if (hex.empty()) return def;
    try {
      std::size_t used = 0;
      n = std::stoll(hex, &used, 16);
      return used == hex.size() ? n : def;
    } catch (...) {
      return def;
    }
  }
  return ParseInt(v, n) ? n : def;
}

void TBigInifile::WriteInteger(std::string_view section, std::string_view key, long long value) {
  WriteString(section, key, std::to_string(value));
}

bool TBigInifile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TBigInifile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TBigInifile::EraseSection(std::string_view name) {
  int i = IndexOf(name);
  if (i >= 0) sections_.erase(sections_.begin() + i);
}

bool TBigInifile::SaveToFile(const std::string& fileName) const {
  // The write guard: a read-only file is left alone without a word.
  if (auto attrs = pf::fs().attributes(fileName); attrs && (*attrs & pf::faReadOnly)) return true;
  return pf::writeFileAtomic(fileName, utf8File_ ? pf::cp1252ToUtf8(GetTextStr()) : GetTextStr());
}

}  // namespace kandelo
