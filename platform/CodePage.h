// Conversions between character sets, named as iconv names them ("CP1251", "UTF-16LE",
// "UTF-8"), and the character set of the user's locale.
#pragma once

#include <cstddef>
#include <string>

// The character set of the locale the program runs in, as the C library names it
// ("UTF-8", "ANSI_X3.4-1968" under the bare C locale).
std::string LocaleCharset();

// Converts nIn bytes at pIn from pFrom to pTo. An input unit that cannot be converted becomes
// strReplacement and is skipped (nSkip bytes: 2 for UTF-16 input, 1 for byte texts; a UTF-16
// surrogate pair as a whole); an incomplete sequence at the end becomes one strReplacement.
// An unknown character set (other than the machine's own UTF-16) is taken as UTF-8 rather than
// lose the text.
std::string ConvertText(const char* pFrom, const char* pTo, const char* pIn, size_t nIn,
                        const std::string& strReplacement, size_t nSkip);
