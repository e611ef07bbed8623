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
std::string oemToAnsi(std::string_view s, int oemCodePage = 850);  // 437 or 850
std::string ansiToOem(std::string_view s, int oemCodePage = 850);

// DOS-style mask ("*.LDT", "A?C*.*") matched without regard to case on every
// platform. "*.*" matches names without a dot too.
bool matchesMask(std::string_view name, std::string_view mask);

}  // namespace kandelo::platform
