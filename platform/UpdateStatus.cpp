#include "platform/UpdateStatus.h"

#include <cstdio>

std::string StatusWithName(const char* pFormat, const std::string& strArg)
{
    std::string str = pFormat;
    const size_t nAt = str.find("%s");
    if (nAt != std::string::npos)
        str.replace(nAt, 2, strArg);
    return str;
}

std::string ReadStatus(size_t nTotal, long long nElapsedSeconds)
{
    char buf[128];
    if (nElapsedSeconds > 0)
        std::snprintf(buf, sizeof buf, "Read %d bytes (%0.1f Kb/s)", static_cast<int>(nTotal),
                      static_cast<double>(nTotal) / 1024.0 / static_cast<double>(nElapsedSeconds));
    else
        std::snprintf(buf, sizeof buf, "Read %d bytes", static_cast<int>(nTotal));
    return buf;
}

std::string HttpStatusText(int nCode, const std::string& strStatusLine)
{
    // The reason phrase is what follows the code on the status line; a server may send none.
    std::string strReason;
    const std::string strCode = std::to_string(nCode);
    const size_t nAt = strStatusLine.find(" " + strCode);
    if (nAt != std::string::npos)
    {
        strReason = strStatusLine.substr(nAt + 1 + strCode.size());
        while (!strReason.empty() &&
               (strReason.back() == '\r' || strReason.back() == '\n' || strReason.back() == ' '))
            strReason.pop_back();
        while (!strReason.empty() && strReason.front() == ' ')
            strReason.erase(0, 1);
    }
    // A reason phrase is a short text; a server's long or binary one is not shown.
    if (strReason.size() > 64)
        strReason.resize(64);
    for (char& c : strReason)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e)
            c = '?';
    return "HTTP " + strCode + (strReason.empty() ? "" : " " + strReason);
}

std::string TooLargeStatus(size_t nLimit)
{
    return "The file is larger than " + std::to_string(nLimit) + " bytes";
}
