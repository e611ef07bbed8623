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

std::string tsection::EntryLine(int index) const { return GetKey(index) + "=" + GetValue(index); }

TBigInifile::TBigInifile(std::string fileName) : fileName_(Cut(fileName)) {
  if (auto text = pf::readWholeFile(fileName_)) SetTextStr(*text);
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
        auto s = std::make_unique<tsection>(name);
        current = s.get();
        InsertSection(std::move(s));
        continue;
      }
    }
    if (current) current->AddLine(line);
  }
}

std::string TBigInifile::GetTextStr() const {
  std::string out;
  for (auto& s : sections_) {
    out += s->HeaderLine() + "\r\n";
    for (int k = 0; k < s->Count(); ++k) out += s->EntryLine(k) + "\r\n";
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
  return pf::writeFileAtomic(fileName, GetTextStr());
}

}  // namespace kandelo
