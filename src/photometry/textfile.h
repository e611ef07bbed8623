// Line-oriented reading and writing of the photometric text formats.
//
// TTextReader holds the whole file in memory (read through platform::fs()),
// skips a UTF-8 byte-order mark and hands out lines without their CR/LF.
// Lines are cut to 255 characters, as the formats define them.
// TTextWriter collects the text and writes it atomically with CR LF line ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kandelo {

// Files above this size are not photometric files; readers refuse them
// silently instead of loading them into memory.
constexpr std::uint64_t kMaxTextFileSize = 64ull << 20;

class TTextReader {
 public:
  // False when the file cannot be opened, cannot be read or is too large.
  bool Open(const std::string& path);
  // Reads from memory (tests, embedded files).
  void OpenText(std::string text);
  // Next line without its line end, cut to 255 characters; false at the end.
  bool ReadLine(std::string& line);
  // The same as a view into the buffer (valid until the reader changes), uncut.
  bool ReadLineView(std::string_view& line);
  // The rest of the current line, uncut (for word-oriented formats).
  bool ReadLongLine(std::string& line);
  // Skips n lines; false when the file ended before.
  bool SkipLines(int n);
  bool AtEnd() const { return pos_ >= text_.size(); }
  void Rewind() { pos_ = start_; }
  // Bytes not yet read, to check announced counts before allocating.
  std::uint64_t BytesLeft() const { return text_.size() - pos_; }
  std::uint64_t Size() const { return text_.size(); }
  const std::string& Text() const { return text_; }
  // The file is UTF-8: it starts with a byte-order mark or is well-formed
  // UTF-8 with characters above 127 (platform::isUtf8Text). Its texts are
  // then converted to 1252; any other file's texts are 1252 as they stand.
  bool Utf8() const { return utf8_; }
  std::string Text1252(std::string_view s) const;

 private:
  std::string_view NextRaw();
  std::string text_;
  std::size_t pos_ = 0;
  std::size_t start_ = 0;  // behind a byte-order mark
  bool utf8_ = false;
};

// The line readers of the text formats. Each consumes one line (also when it
// fails); at the end of the file they fail with value 0.
//   ReadFloatLine: first "," becomes "."; trimmed; empty → 0 and ok; one
//                  trailing "." removed; must convert completely.
//   ReadIntLine:   trimmed; empty → not ok; a number that converts completely,
//                  rounded to the nearest integer.
//   ReadWordLine:  trimmed; empty → not ok; one trailing "." removed (nothing
//                  left → not ok); a number gives its rounded value kept to
//                  16 bits, other text gives 0 and is still ok.
bool ReadFloatLine(TTextReader& in, double& value);
bool ReadIntLine(TTextReader& in, int& value);
bool ReadWordLine(TTextReader& in, std::uint16_t& value);
// The same on one line of text.
bool ParseFloatLine(std::string_view line, double& value);
bool ParseIntLine(std::string_view line, int& value);
bool ParseWordLine(std::string_view line, std::uint16_t& value);

// True when `count` items of at least `minBytesEach` bytes can still be in
// the rest of the file; readers call it before allocating for an announced count.
bool CountFitsFile(const TTextReader& in, std::uint64_t count, unsigned minBytesEach);

// Reads a binary file whole through platform::fs(); false when it cannot be
// read or is larger than maxSize (checked before reading).
bool ReadFileLimited(const std::string& path, std::string& out, std::uint64_t maxSize);
constexpr std::uint64_t kMaxBinaryFileSize = 256ull << 20;

class TTextWriter {
 public:
  void Line(std::string_view text);  // text + CR LF
  void Add(std::string_view text) { out_ += text; }
  // Writes the collected text to path through platform::writeFileAtomic.
  bool Commit(const std::string& path) const;
  const std::string& Text() const { return out_; }

 private:
  std::string out_;
};

}  // namespace kandelo
