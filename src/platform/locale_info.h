// Locale facts the program asks for.
#pragma once

#include <ctime>
#include <string>

namespace kandelo::platform {

// Short date format in Delphi notation (d, dd, M, MM, yy, yyyy and separators).
// Taken from LC_TIME; KANDELO_SHORT_DATE in the environment overrides it.
std::string shortDateFormat();
void setShortDateFormat(const std::string& format);
// Formats a local time with a format of that notation.
std::string formatDate(const std::string& format, std::time_t t);
// Decimal separator of the user locale ("." or ",").
char decimalSeparator();
// Language of the desktop session for messages, as its lower-case ISO 639
// code ("de", "fr", ...): the first of LC_ALL, LC_MESSAGES and LANG that is
// set decides, as for any program; "" when none is set or it is "C"/"POSIX".
std::string desktopLanguage();

}  // namespace kandelo::platform
