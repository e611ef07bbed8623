// Code pages, case-insensitive comparison and masks for the 8-bit (Windows 1252)
// strings the program keeps in records, files and settings.
#pragma once

#include <string>
#include <string_view>

namespace kandelo::platform {

// Upper/lower case of one 1252 character (letters with accents included).
char upperChar1252(char c);
char lowerChar1252(char c);
std::string upper1252(std::string_view s);
std::string lower1252(std::string_view s);

// Case-insensitive collation of the user locale on 1252 text: letters compare
// without regard to case and accented letters sort beside their base letter.
int compareTextCI(std::string_view a, std::string_view b);
bool equalTextCI(std::string_view a, std::string_view b);

// Code page conversions.
std::string cp1252ToUtf8(std::string_view s);
// Characters without a 1252 form become '?'.
std::string utf8ToCp1252(std::string_view s);
// Well-formed UTF-8 (no overlong forms, surrogates or code points above
// U+10FFFF) holding at least one multi-byte sequence. Texts in files are
// taken as UTF-8 when this holds and as 1252 otherwise: 1252 text with
// accented letters is practically never well-formed UTF-8.
bool isUtf8Text(std::string_view s);
// A text from a file as 1252: converted when isUtf8Text, otherwise as it stands.
std::string fileTextTo1252(std::string_view s);
std::string oemToAnsi(std::string_view s, int oemCodePage = 850);  // 437 or 850
std::string ansiToOem(std::string_view s, int oemCodePage = 850);

// DOS-style mask ("*.LDT", "A?C*.*") matched without regard to case on every
// platform. "*.*" matches names without a dot too.
bool matchesMask(std::string_view name, std::string_view mask);

}  // namespace kandelo::platform
