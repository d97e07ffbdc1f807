// Feeds any bytes to the update check's reading of a downloaded file (cut at a zero byte, read
// in the code page, the last line for us found) and to the status text of an HTTP error: never a
// crash, a value is always a piece of one line, and a status text stays printable.
#include "about/UpdateCheck.h"
#include "app/TextHelpers.h"
#include "platform/UpdateStatus.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string strBody(reinterpret_cast<const char*>(pData), nSize);
    const std::string strText = strBody.substr(0, strBody.find('\0'));
    for (const char* pCodePage : {"CP1251", "UTF-8"})
    {
        const std::u16string strWide = ToWide(strText, pCodePage);
        if (auto value = ScanUpdateText(strWide))
        {
            if (value->find(u'\n') != std::u16string::npos || strWide.find(*value) == std::u16string::npos)
                std::abort();
        }
    }
    const int nCode = nSize > 0 ? 100 + pData[0] * 2 : 404;
    for (char c : HttpStatusText(nCode, strBody))
    {
        if (c < 0x20 || c > 0x7e)
            std::abort();
    }
    return 0;
}
