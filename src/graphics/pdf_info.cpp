#include "graphics/pdf_info.h"

#include "platform/fileio.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <cstdint>
#include <optional>
#include <sstream>
#include <vector>

namespace kandelo {
namespace {

// Code points of a UTF-8 text; a byte that starts no valid sequence stands
// for itself, so that nothing is dropped.
std::vector<char32_t> CodePoints(const std::string& s) {
  std::vector<char32_t> out;
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    int n = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    char32_t c = n == 0 ? b : n == 1 ? (b & 0x1F) : n == 2 ? (b & 0x0F) : (b & 0x07);
    bool ok = n >= 0 && i + static_cast<std::size_t>(n) < s.size();
    for (int k = 1; ok && k <= n; ++k) {
      const auto t = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      ok = (t >> 6) == 2;
      c = (c << 6) | (t & 0x3F);
    }
    if (!ok) {
      out.push_back(b);
      ++i;
      continue;
    }
    out.push_back(c);
    i += static_cast<std::size_t>(n) + 1;
  }
  return out;
}

// The value after `key` in a dictionary text up to the next "/" or ">>",
// trimmed; nullopt when the key is missing.
std::optional<std::string> DictValue(const std::string& dict, const std::string& key) {
  std::size_t p = dict.find(key);
  while (p != std::string::npos) {
    const std::size_t end = p + key.size();
    // "/Size" must not match "/SizeX".
    if (end < dict.size() && (std::isalnum(static_cast<unsigned char>(dict[end])) != 0)) {
      p = dict.find(key, end);
      continue;
    }
    std::size_t stop = dict.find_first_of("/>", end);
    if (key == "/ID") stop = dict.find(']', end) + 1;
    std::string v = dict.substr(end, stop == std::string::npos ? std::string::npos : stop - end);
    const auto first = v.find_first_not_of(" \r\n\t");
    const auto last = v.find_last_not_of(" \r\n\t");
    return first == std::string::npos ? std::string() : v.substr(first, last - first + 1);
  }
  return std::nullopt;
}

}  // namespace

std::string PdfTextString(const std::string& utf8) {
  std::string hex = "<FEFF";
  char buf[8];
  auto unit = [&](unsigned u) {
    std::snprintf(buf, sizeof buf, "%04X", u & 0xFFFF);
    hex += buf;
  };
  for (char32_t c : CodePoints(utf8)) {
    if (c >= 0x10000 && c <= 0x10FFFF) {
      c -= 0x10000;
      unit(0xD800 + (c >> 10));
      unit(0xDC00 + (c & 0x3FF));
    } else {
      unit(c > 0x10FFFF ? 0xFFFD : static_cast<unsigned>(c));
    }
  }
  return hex + ">";
}

bool PdfLooksComplete(const std::string& bytes) {
  if (bytes.compare(0, 5, "%PDF-") != 0) return false;
  const std::size_t last = bytes.find_last_not_of(" \r\n\t");
  if (last == std::string::npos || last < 4 || bytes.compare(last - 4, 5, "%%EOF") != 0) return false;
  const std::size_t startxref = bytes.rfind("startxref");
  if (startxref == std::string::npos) return false;
  long long at = -1;
  if (std::sscanf(bytes.c_str() + startxref + 9, "%lld", &at) != 1 || at < 0) return false;
  const auto offset = static_cast<std::size_t>(at);
  return offset < startxref && bytes.compare(offset, 4, "xref") == 0;
}

bool AddPdfDocumentInfo(const std::string& path, const TDocumentInfo& info) {
  const auto file = platform::fs().open(path, platform::OpenMode::ReadWrite);
  if (!file) return false;
  const std::int64_t size = file->size();
  if (size <= 0) return false;
  // The trailer and the pointer to the last cross-reference table lie in the
  // file's last few hundred bytes.
  const std::int64_t tailSize = std::min<std::int64_t>(size, 4096);
  std::string tail(static_cast<std::size_t>(tailSize), '\0');
  if (file->readAt(size - tailSize, tail.data(), tail.size()) != tailSize) return false;
  const std::size_t startxref = tail.rfind("startxref");
  const std::size_t trailer = tail.rfind("trailer");
  if (startxref == std::string::npos || trailer == std::string::npos || trailer > startxref) return false;
  long long prev = -1;
  if (std::sscanf(tail.c_str() + startxref + 9, "%lld", &prev) != 1 || prev < 0 || prev >= size) return false;
  const std::string dict = tail.substr(trailer, startxref - trailer);
  const auto sizeValue = DictValue(dict, "/Size");
  const auto root = DictValue(dict, "/Root");
  if (!sizeValue || !root || root->empty()) return false;
  long long objects = 0;
  if (std::sscanf(sizeValue->c_str(), "%lld", &objects) != 1 || objects <= 0) return false;
  // The new dictionary replaces the old one under its number, or is a new object.
  long long number = objects;
  if (const auto old = DictValue(dict, "/Info"))
    if (std::sscanf(old->c_str(), "%lld", &number) != 1 || number <= 0 || number >= objects) number = objects;
  const long long newSize = number == objects ? objects + 1 : objects;

  std::ostringstream body;
  body << "\n" << number << " 0 obj\n<<\n";
  const std::pair<const char*, const std::string*> fields[] = {
      {"/Title", &info.title}, {"/Author", &info.author}, {"/Subject", &info.subject}, {"/Creator", &info.creator}};
  for (const auto& [key, text] : fields)
    if (!text->empty()) body << key << " " << PdfTextString(*text) << "\n";
  char date[32];
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  std::strftime(date, sizeof date, "(D:%Y%m%d%H%M%SZ)", &utc);
  body << "/CreationDate " << date << "\n>>\nendobj\n";
  const std::string object = body.str();
  const long long objectOffset = size + 1;  // after the leading newline
  const long long xrefOffset = size + static_cast<long long>(object.size());
  char entry[32];
  std::snprintf(entry, sizeof entry, "%010lld 00000 n \n", objectOffset);
  std::ostringstream update;
  update << object << "xref\n" << number << " 1\n" << entry << "trailer\n<<\n/Size " << newSize << "\n/Root " << *root
         << "\n/Info " << number << " 0 R\n";
  if (const auto id = DictValue(dict, "/ID")) update << "/ID " << *id << "\n";
  update << "/Prev " << prev << "\n>>\nstartxref\n" << xrefOffset << "\n%%EOF\n";
  const std::string bytes = update.str();

  if (file->writeAt(size, bytes.data(), bytes.size()) && file->flush() && file->close()) return true;
  // Leave the file as it was: cut what was appended.
  file->truncate(size);
  file->close();
  return false;
}

}  // namespace kandelo
