// Sectioned text file held wholly in memory (the language files use it).
//
// Syntax: one entry per line (CR LF written; CR, LF or CR LF read); lines are
// cut to 255 characters. A line starting with "[" is a section header whose
// name is the first run of characters that are neither "[" nor "]" ("[]" is an
// ordinary line). Other lines with "=" are entries: key before the first "=",
// value after it, both exactly as they stand. Lines before the first header and
// lines without "=" are dropped. A repeated key replaces the earlier value; a
// repeated section replaces the earlier block. Sections and keys are kept in the
// case-insensitive collation order and saved in that order. Reading and
// writing take time linear in the size of the file (up to the sorting).
//
// Encoding: texts in memory are 1252. A file opened as a UTF-8 file (the
// settings) is written in UTF-8; when read, well-formed UTF-8 is taken as
// UTF-8 and anything else as 1252 (an older file), which WasAnsiFile()
// reports so that the owner can rewrite it in UTF-8 once. Other files (the
// language files) are 1252 on disk as in memory.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kandelo {

class tqvmstring {
 public:
  explicit tqvmstring(std::string value = {});
  const std::string& Value() const { return value_; }
  void SetValue(std::string_view v);

 private:
  std::string value_;  // at most 255 characters
};

class tsection {
 public:
  explicit tsection(std::string name = {});
  // Splits at the first "=" and inserts; a line without "=" adds nothing.
  void AddLine(std::string_view line);
  int Count() const { return static_cast<int>(entries_.size()); }
  const std::string& GetKey(int index) const;
  const std::string& GetValue(int index) const;
  // Index of the key, or -1.
  int Find(std::string_view key) const;
  tqvmstring& FindOrCreate(std::string_view key);
  const std::string& Name() const { return name_; }
  void SetName(std::string_view name);
  std::string HeaderLine() const { return "[" + name_ + "]"; }
  std::string EntryLine(int index) const;
  void Clear() { entries_.clear(); }

 private:
  friend class TBigInifile;
  // Loading: lines are appended as they come and sorted once at the end
  // (inserting each in order would make a large file quadratic).
  void AppendLine(std::string_view line);
  void SortAppended();

  struct Entry {
    std::string key;
    tqvmstring value;
  };
  std::string name_;
  std::vector<Entry> entries_;  // sorted by key in collation order
};

class TBigInifile {
 public:
  // Loads the file if it exists, otherwise starts empty.
  explicit TBigInifile(std::string fileName, bool utf8File = false);
  const std::string& FileName() const { return fileName_; }

  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  // Key given: sets the value. Key empty and section or value given: erases the
  // section. All three empty: saves the file under its own name.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  long long ReadInteger(std::string_view section, std::string_view key, long long def) const;
  void WriteInteger(std::string_view section, std::string_view key, long long value);
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;
  void WriteBool(std::string_view section, std::string_view key, bool value);
  void EraseSection(std::string_view name);
  bool SectionExists(std::string_view name) const;
  // Saves under its own name. False when the write failed (a read-only file is
  // skipped silently and counts as success).
  bool UpdateFile() { return SaveToFile(fileName_); }
  bool SaveToFile(const std::string& fileName) const;
  // Replaces the content by the text in file syntax.
  void SetTextStr(std::string_view text);
  std::string GetTextStr() const;
  int Count() const { return static_cast<int>(sections_.size()); }
  tsection& GetSection(int index) { return *sections_[static_cast<std::size_t>(index)]; }
  const tsection& GetSection(int index) const { return *sections_[static_cast<std::size_t>(index)]; }
  // The section of that name, or nullptr.
  const tsection* FindSection(std::string_view name) const;
  // A UTF-8 file that held 1252 text with characters above 127 when loaded.
  bool WasAnsiFile() const { return wasAnsi_; }

 private:
  int IndexOf(std::string_view name) const;  // -1 when missing
  tsection& FindOrCreateSection(std::string_view name);
  void InsertSection(std::unique_ptr<tsection> s);  // replaces an equal name

  std::string fileName_;
  bool utf8File_ = false;
  bool wasAnsi_ = false;
  std::vector<std::unique_ptr<tsection>> sections_;  // sorted by name
};

}  // namespace kandelo
