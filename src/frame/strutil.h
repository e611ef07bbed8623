// Path and string helpers on 8-bit strings. "Counted strings" hold at most 255
// characters; the helpers cut longer results.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/bytes.h"
#include "platform/paths.h"

namespace kandelo {

constexpr std::size_t kMaxCounted = 255;

// The platform's path separator ('/' on Linux, '\\' on Windows).
constexpr char kPathSep =
#ifdef _WIN32
    '\\';
#else
    '/';
#endif

// Cuts s to at most n characters.
std::string Cut(std::string_view s, std::size_t n = kMaxCounted);

// Trims blanks and control characters at both ends and appends the separator
// unless the path ends in one (or, on Windows, in a drive colon). Empty stays empty.
std::string AddBackslash(std::string_view path);
bool DirExists(const std::string& path);
bool FileExistsS(const std::string& path);
// Removes all characters below code 33 at both ends.
std::string TrimBlanks(std::string_view s);
std::string PadRight(std::string_view s, std::size_t width);
std::string PadLeft(std::string_view s, std::size_t width);
std::string IntToStrPadded(long long n, std::size_t width);
// ExtractName, ParentPath, ExtractFileExt, ChangeFileExt: platform/paths.h.
using platform::ChangeFileExt;
using platform::ExtractFileExt;
using platform::ExtractName;
using platform::ParentPath;
// ExtractName cut before its first ".".
std::string NameWithoutExt(std::string_view path);
std::string OemToAnsi(std::string_view s);
// Words separated by any run of delimiter characters, counted from 1.
int WordCount(std::string_view s, std::string_view delimiters);
int WordPosition(int n, std::string_view s, std::string_view delimiters);  // 1-based, 0 if missing
std::string ExtractWord(int n, std::string_view s, std::string_view delimiters);
// The path with its last component spelt as the directory entry on disk.
std::string TrueCaseFileName(const std::string& path);

// Copies a file through a 35000-byte buffer, keeping date and attributes.
// 0 copied; 1 source cannot be opened; 2 target cannot be created; 3 read error;
// 4 write error (also a short write); 5 source date cannot be read; 6 target date
// cannot be set; 7 target cannot be closed; -1 no buffer. On 3..6 the target is
// closed and deleted.
int CopyFileBuffered(const std::string& source, const std::string& target);

// Numbers in text: written with ".", read with "." or ",", independent of the C locale.
bool ParseInt(std::string_view s, long long& out);      // whole string, blanks trimmed
bool ParseDouble(std::string_view s, double& out);      // whole string, blanks trimmed
// Reads a plain decimal ("-12.375", ".5", "7.") of at most 15 digits from
// `first` and returns where it stopped, or nullptr when the text starts with
// something else (exponents, more digits, no digit at all): the caller then
// takes std::from_chars, which gives the same value for what is read here.
const char* ScanPlainDecimal(const char* first, const char* last, double& out);
std::string FormatFixed(double v, int decimals, char decimalSep = '.');

// Little-endian field access for fixed byte layouts: platform/bytes.h.
using platform::GetF32;
using platform::GetF64;
using platform::GetI32;
using platform::GetU16;
using platform::GetU32;
using platform::PutF32;
using platform::PutF64;
using platform::PutI32;
using platform::PutU16;
using platform::PutU32;

}  // namespace kandelo
