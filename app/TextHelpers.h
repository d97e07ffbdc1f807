// Text helpers: conversions between wide (UTF-16) text and the system's ANSI code page, the
// program's number texts, and the pieces of file names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

class IRegistryStore;

// Wide text to ANSI text in the code page strCodePage (an iconv name, see CodePageName). The
// whole text is converted; characters the code page lacks become '?'. Empty for empty text.
std::string ToAnsi(const std::u16string& strWide, const std::string& strCodePage);
// ANSI text to wide text; bytes that are not valid in the code page become U+FFFD.
std::u16string ToWide(const std::string& strAnsi, const std::string& strCodePage);
// UTF-8, the text of our own interface, to and from wide text.
std::u16string Utf8ToWide(const std::string& str);
std::string WideToUtf8(const std::u16string& str);

// The iconv name of the ANSI code page: the number stored as "ACP" in the machine's
// SYSTEM\CurrentControlSet\Control\Nls\CodePage key, or the locale's character set for 0 or
// no value. Read from the store at every call: CSettings::CodePage() keeps it for the run.
std::string CodePageName(IRegistryStore& store);

// Decimal text of a 32-bit number.
std::string IntToText(int32_t n);
std::u16string IntToTextW(int32_t n);
// 40 significant digits, no zeros at the end of the fraction, no final full stop:
// 440 gives "440", 0.5 gives "0.5", 0.005 gives "5.e-003".
std::string FloatToText(double d);
std::u16string FloatToTextW(double d);
// The C library's readings of a number text: leading blanks, a sign, digits; no digits gives 0.
// Always with the full stop as decimal separator, whatever the locale.
int32_t TextToInt(const std::string& str);
double TextToFloat(const std::string& str);

// The text after the last full stop that is followed by something: "song.wav" gives "wav",
// "noext" gives "noext", "name." gives "name"; nothing for a text of full stops or an empty one.
std::optional<std::string> ExtensionOf(const std::string& str);
std::optional<std::u16string> ExtensionOfW(const std::u16string& str);
// Everything up to and including the last path separator; empty when there is none.
std::string FolderOf(const std::string& strPath);

// Milliseconds as minutes and seconds, two digits each at least: 65000 gives "01:05".
std::string FormatTime(float fMs);
