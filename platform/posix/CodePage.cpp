#include "platform/CodePage.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>

namespace
{
const char* WideName()
{
    return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}
} // namespace

std::string LocaleCharset()
{
    return nl_langinfo(CODESET);
}

std::string ConvertText(const char* pFrom, const char* pTo, const char* pIn, size_t nIn,
                        const std::string& strReplacement, size_t nSkip)
{
    std::string strOut;
    if (nIn == 0)
        return strOut;
    iconv_t cd = iconv_open(pTo, pFrom);
    if (cd == reinterpret_cast<iconv_t>(-1))
    {
        // An unknown code page: fall back on UTF-8 rather than lose the text.
        cd = iconv_open(std::string(pTo) == WideName() ? pTo : "UTF-8",
                        std::string(pFrom) == WideName() ? pFrom : "UTF-8");
        if (cd == reinterpret_cast<iconv_t>(-1))
            return strOut;
    }
    char* pSrc = const_cast<char*>(pIn);
    size_t nLeft = nIn;
    char buf[4096];
    while (nLeft > 0)
    {
        char* pDst = buf;
        size_t nRoom = sizeof buf;
        size_t r = iconv(cd, &pSrc, &nLeft, &pDst, &nRoom);
        strOut.append(buf, static_cast<size_t>(pDst - buf));
        if (r != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        strOut += strReplacement;
        if (errno == EINVAL) // incomplete sequence at the end
            break;
        // EILSEQ: skip one unit, and the low half of a surrogate pair with its high half
        size_t nStep = std::min(nSkip, nLeft);
        if (nSkip == 2 && nLeft >= 4)
        {
            uint16_t unit;
            std::memcpy(&unit, pSrc, 2);
            if (unit >= 0xD800 && unit <= 0xDBFF)
                nStep = 4;
        }
        pSrc += nStep;
        nLeft -= nStep;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    // flush any shift state
    char* pDst = buf;
    size_t nRoom = sizeof buf;
    iconv(cd, nullptr, nullptr, &pDst, &nRoom);
    strOut.append(buf, static_cast<size_t>(pDst - buf));
    iconv_close(cd);
    return strOut;
}
