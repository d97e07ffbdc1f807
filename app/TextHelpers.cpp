#include "app/TextHelpers.h"

#include "platform/CodePage.h"
#include "platform/NumberText.h"
#include "platform/RegistryStore.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
const char* const kCodePageKey = "SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage";

const char* WideName()
{
    return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

std::string NameOfCodePage(int32_t nCodePage)
{
    switch (nCodePage)
    {
    case 0:
    {
        // The locale's own character set. Under the bare C locale that would be ASCII, which
        // loses every Cyrillic letter of a file name; file names here are UTF-8.
        std::string strSet = LocaleCharset();
        if (strSet.empty() || strSet == "ANSI_X3.4-1968" || strSet == "ASCII")
            return "UTF-8";
        return strSet;
    }
    case 65001:
        return "UTF-8";
    case 20127:
        return "ASCII";
    case 1200:
        return "UTF-16LE";
    case 1201:
        return "UTF-16BE";
    case 20866:
        return "KOI8-R";
    case 21866:
        return "KOI8-U";
    default:
        if (nCodePage >= 28591 && nCodePage <= 28605)
            return "ISO-8859-" + std::to_string(nCodePage - 28590);
        return "CP" + std::to_string(nCodePage);
    }
}

std::u16string BytesToWide(const std::string& str)
{
    std::u16string out(str.size() / 2, u'\0');
    std::memcpy(out.data(), str.data(), out.size() * 2);
    return out;
}

std::string WideReplacement()
{
    const char16_t c = u'\xFFFD';
    return std::string(reinterpret_cast<const char*>(&c), 2);
}

template <class S> std::optional<S> ExtensionOfT(const S& str)
{
    // The first piece of the reversed text between full stops, turned round again.
    size_t nEnd = str.size();
    while (nEnd > 0 && str[nEnd - 1] == '.')
        --nEnd;
    if (nEnd == 0)
        return std::nullopt;
    size_t nDot = str.find_last_of('.', nEnd - 1);
    size_t nStart = nDot == S::npos ? 0 : nDot + 1;
    return str.substr(nStart, nEnd - nStart);
}
} // namespace

std::string CodePageName(IRegistryStore& store)
{
    int32_t nCodePage = 0;
    auto value = store.Read(ERoot::LocalMachine, kCodePageKey, "ACP");
    if (value && (value->eType == EValueType::String || value->eType == EValueType::ExpandString))
        nCodePage = TextToInt(value->strData);
    return NameOfCodePage(nCodePage);
}

std::string ToAnsi(const std::u16string& strWide, const std::string& strCodePage)
{
    return ConvertText(WideName(), strCodePage.c_str(), reinterpret_cast<const char*>(strWide.data()),
                       strWide.size() * 2, "?", 2);
}

std::u16string ToWide(const std::string& strAnsi, const std::string& strCodePage)
{
    return BytesToWide(
        ConvertText(strCodePage.c_str(), WideName(), strAnsi.data(), strAnsi.size(), WideReplacement(), 1));
}

std::u16string Utf8ToWide(const std::string& str)
{
    return BytesToWide(ConvertText("UTF-8", WideName(), str.data(), str.size(), WideReplacement(), 1));
}

std::string WideToUtf8(const std::u16string& str)
{
    return ConvertText(WideName(), "UTF-8", reinterpret_cast<const char*>(str.data()), str.size() * 2,
                       "\xEF\xBF\xBD", 2);
}

std::string IntToText(int32_t n)
{
    return std::to_string(n);
}

std::u16string IntToTextW(int32_t n)
{
    return Utf8ToWide(IntToText(n));
}

std::string FloatToText(double d)
{
    if (std::isnan(d))
        return d < 0 ? "-nan" : "nan";
    if (std::isinf(d))
        return d < 0 ? "-inf" : "inf";
    // 40 significant digits of the exact value. A value whose exact expansion needs more than
    // that (0.005 and most decimal fractions) is written in its shortest form that reads back
    // as the same number, so that 0.005 gives 5.e-003 and not 5.000000000000000104...e-003.
    char buf[1100];
    auto res = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific, 800);
    std::string strExact(buf, res.ptr);
    size_t nExactE = strExact.find('e');
    bool bFits = strExact.find_first_not_of('0', 41 + (strExact[0] == '-' ? 1 : 0)) >= nExactE;
    if (!bFits)
        res = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific);
    else
        res = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific, 39);
    std::string strSci(buf, res.ptr);
    std::string strSign;
    if (!strSci.empty() && strSci[0] == '-')
    {
        strSign = "-";
        strSci.erase(0, 1);
    }
    size_t nE = strSci.find('e');
    std::string strDigits = strSci.substr(0, 1) + (nE > 2 ? strSci.substr(2, nE - 2) : std::string());
    strDigits.resize(40, '0');
    int nExp = std::atoi(strSci.c_str() + nE + 1);
    int e = d == 0 ? 0 : nExp + 1; // digits before the point

    std::string strText;
    if (e >= 0 && e <= 40)
    {
        std::string strInt = e == 0 ? "0" : strDigits.substr(0, static_cast<size_t>(e));
        std::string strFrac = e == 0 ? strDigits : strDigits.substr(static_cast<size_t>(e));
        while (!strFrac.empty() && strFrac.back() == '0')
            strFrac.pop_back();
        strText = strInt + "." + strFrac;
        if (strText.back() == '.')
            strText.pop_back();
    }
    else
    {
        std::string strFrac = strDigits.substr(1);
        while (!strFrac.empty() && strFrac.back() == '0')
            strFrac.pop_back();
        char exp[16];
        std::snprintf(exp, sizeof exp, "e%c%03d", nExp < 0 ? '-' : '+', std::abs(nExp));
        strText = strDigits.substr(0, 1) + "." + strFrac + exp;
    }
    return strSign + strText;
}

// Number texts are ASCII, the same in every code page.
std::u16string FloatToTextW(double d)
{
    return Utf8ToWide(FloatToText(d));
}

int32_t TextToInt(const std::string& str)
{
    // atoi, but an overflow saturates instead of being undefined
    long long n = CLocaleTextToInteger(str.c_str());
    return static_cast<int32_t>(std::clamp<long long>(n, INT32_MIN, INT32_MAX));
}

double TextToFloat(const std::string& str)
{
    return CLocaleTextToDouble(str.c_str());
}

std::optional<std::string> ExtensionOf(const std::string& str)
{
    return ExtensionOfT(str);
}

std::optional<std::u16string> ExtensionOfW(const std::u16string& str)
{
    return ExtensionOfT(str);
}

std::string FolderOf(const std::string& strPath)
{
    size_t n = strPath.find_last_of('/');
    return n == std::string::npos ? std::string() : strPath.substr(0, n + 1);
}

std::string FormatTime(float fMs)
{
    // Whole seconds, fraction dropped; a negative or impossible position shows as 00:00.
    double dSeconds = std::isfinite(fMs) && fMs > 0 ? std::floor(static_cast<double>(fMs) / 1000.0) : 0.0;
    long long nSeconds = static_cast<long long>(std::min(dSeconds, 9.0e15));
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld", nSeconds / 60, nSeconds % 60);
    return buf;
}
