#include "about/UpdateCheck.h"

#include "about/AboutTexts.h"
#include "app/Settings.h"
#include "app/TextHelpers.h"

#include <cstdlib>

std::optional<std::u16string> ScanUpdateText(const std::u16string& strText)
{
    static const std::u16string kWord = u"Tonegrove";
    std::optional<std::u16string> value;
    size_t nStart = 0;
    while (nStart < strText.size())
    {
        size_t nEnd = strText.find(u'\n', nStart);
        if (nEnd == std::u16string::npos)
            nEnd = strText.size();
        const std::u16string_view line(strText.data() + nStart, nEnd - nStart);
        nStart = nEnd + 1;
        if (line.empty())
            continue;
        const size_t nFirst = line.find_first_not_of(u' ');
        if (nFirst == std::u16string_view::npos)
            continue;
        const size_t nSpace = line.find(u' ', nFirst);
        const std::u16string_view word = line.substr(
            nFirst, nSpace == std::u16string_view::npos ? std::u16string_view::npos : nSpace - nFirst);
        if (word != kWord)
            continue;
        // Counted from the line's start, not the word's: a line indented by one space gives a
        // value with that space in front, which never equals a version.
        std::u16string_view rest =
            line.size() > kWord.size() + 1 ? line.substr(kWord.size() + 1) : std::u16string_view();
        // Files written on Windows end their lines with a carriage return; others do not, and
        // their values are whole.
        if (!rest.empty() && rest.back() == u'\r')
            rest.remove_suffix(1);
        value = std::u16string(rest);
    }
    return value;
}

std::string UpdateServerUrl(const std::optional<std::string>& strEnvUrl,
                            const std::optional<std::string>& strHost)
{
    std::string strUrl;
    if (strEnvUrl && !strEnvUrl->empty())
        strUrl = *strEnvUrl;
    else if (strHost && !strHost->empty())
        strUrl = "http://" + *strHost;
    else
        strUrl = std::string("http://") + kDefaultUpdateHost;
    while (!strUrl.empty() && strUrl.back() == '/')
        strUrl.pop_back();
    return strUrl;
}

std::string ConfiguredUpdateServer(const CSettings& settings)
{
    std::optional<std::string> strEnv;
    if (const char* p = std::getenv(kUpdateUrlEnv))
        strEnv = p;
    return UpdateServerUrl(strEnv, settings.ReadText(ERoot::CurrentUser, kUpdateHostSetting));
}

namespace
{
// The file's line for us, read as text of the code page up to its first zero byte.
std::optional<std::string> ValueOf(const std::string& strBody, const std::string& strCodePage)
{
    const std::string strText = strBody.substr(0, strBody.find('\0'));
    std::optional<std::u16string> value = ScanUpdateText(ToWide(strText, strCodePage));
    if (!value)
        return std::nullopt;
    return WideToUtf8(*value);
}
} // namespace

void CheckForUpdate(IUpdateSession& session, const std::string& strServer, const std::string& strVersion,
                    const std::string& strCodePage, IUpdateView& view)
{
    std::string strBody;
    if (session.Download(strServer + kVersionsPath, strBody,
                         [&view](const std::string& strLine) { view.SetOfferedLine(strLine); }))
    {
        if (std::optional<std::string> strOffered = ValueOf(strBody, strCodePage))
        {
            view.SetOfferedText({{AboutTxt::kNewVersion}, Value(" Tonegrove " + *strOffered)});
            // Any difference offers the update, an older version on the server as well.
            if (*strOffered != strVersion)
                view.ShowUpdateButton();
        }
    }
    if (session.Download(strServer + kNotePath, strBody,
                         [&view](const std::string& strLine) { view.SetNoteLine(strLine); }))
    {
        if (std::optional<std::string> strNote = ValueOf(strBody, strCodePage))
            view.SetNoteText({{AboutTxt::kUpdated}, Value(" " + *strNote)});
    }
}
