#include "sound/MciPlayer.h"

#include "app/Messages.h"
#include "platform/Prompter.h"

#include <charconv>
#include <cmath>

namespace
{

std::string Alias(int32_t nAlias)
{
    return "mus" + std::to_string(nAlias);
}

// The text after the last full stop (the whole path when there is none) picks the device.
std::string DeviceType(const std::string& strPath)
{
    std::string strExt = strPath.substr(strPath.rfind('.') + 1);
    for (char& c : strExt)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    if (strExt == "wav")
        return "waveaudio";
    if (strExt == "avi")
        return "avivideo";
    if (strExt == "mid")
        return "sequencer";
    return {}; // the playlist adds no other files; the layer then refuses the open
}

// Only a space makes the command reader split a path, so only then is it quoted.
std::string QuotedPath(const std::string& strPath)
{
    return strPath.find(' ') == std::string::npos ? strPath : '"' + strPath + '"';
}

// A status reply as a number: leading digits with an optional fraction, anything else 0.
// from_chars, not strtod: the GUI runs under the user's locale, where the point may be a comma.
float ReadDecimal(const std::string& strReply)
{
    const char* p = strReply.data();
    const char* pEnd = p + strReply.size();
    while (p < pEnd && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n'))
        ++p;
    if (p < pEnd && *p == '+')
        ++p;
    double dValue = 0;
    const auto result = std::from_chars(p, pEnd, dValue, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(dValue))
        return 0;
    return float(dValue);
}

} // namespace

int CMciPlayer::Send(const std::string& strCommand, std::string& strReply) const
{
    strReply.clear();
    return Commands().Send(strCommand, strReply);
}

std::string CMciPlayer::Query(int32_t nAlias, const char* pszItem) const
{
    std::string strReply;
    Send("set " + Alias(nAlias) + " time format milliseconds", strReply);
    Send("Status " + Alias(nAlias) + " " + pszItem, strReply);
    return strReply;
}

void CMciPlayer::Open(const std::string& strPath, int32_t nAlias)
{
    std::string strReply;
    if (m_bOpened)
        Send("Close " + Alias(nAlias), strReply);
    const int nError = Send(
        "open " + QuotedPath(strPath) + " type " + DeviceType(strPath) + " alias " + Alias(nAlias), strReply);
    if (nError != 0)
        ShowMessage(std::string(Msg::kMediaOpenError) + "\r\n" + Commands().ErrorText(nError),
                    Msg::kMediaOpenErrorCaption, EIcon::Error);
    m_bOpened = true;
}

void CMciPlayer::Close(int32_t nAlias)
{
    std::string strReply;
    Send("Close " + Alias(nAlias), strReply);
}

float CMciPlayer::GetLength(int32_t nAlias)
{
    return ReadDecimal(Query(nAlias, "length"));
}
