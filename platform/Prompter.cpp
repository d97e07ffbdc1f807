#include "platform/Prompter.h"

#include <atomic>
#include <cctype>
#include <cstdio>
#include <string_view>

EAnswer CStderrPrompter::Ask(const SMessage& message)
{
    std::fprintf(stderr, "%s: %s\n", message.strCaption.c_str(), message.strText.c_str());
    std::fflush(stderr);
    switch (message.eButtons)
    {
    case EButtons::YesNo:
    case EButtons::YesNoCancel:
        return EAnswer::Yes;
    default:
        return EAnswer::Ok;
    }
}

namespace
{
CStderrPrompter g_stderrPrompter;
std::atomic<IPrompter*> g_pPrompter{nullptr};
} // namespace

IPrompter& Prompter()
{
    IPrompter* p = g_pPrompter.load();
    return p ? *p : g_stderrPrompter;
}

void SetPrompter(IPrompter* pPrompter) { g_pPrompter.store(pPrompter); }

EAnswer ShowMessage(const std::string& strText, const std::string& strCaption, EIcon eIcon)
{
    return Prompter().Ask(SMessage{strText, strCaption, eIcon, EButtons::Ok, false});
}

std::string AskSavePath(const std::string& strTitle, const std::string& strInitialFolder)
{
    std::string strPath = Prompter().AskSavePathAsChosen(strTitle, strInitialFolder);
    if (strPath.empty())
        return strPath;
    // Projects are known by their extension: a name saved without it could not be opened,
    // played or saved as a project again.
    constexpr std::string_view kExtension = ".tgp";
    bool bHasExtension = strPath.size() > kExtension.size();
    for (size_t i = 0; bHasExtension && i < kExtension.size(); ++i)
    {
        const auto c = static_cast<unsigned char>(strPath[strPath.size() - kExtension.size() + i]);
        bHasExtension = std::tolower(c) == kExtension[i];
    }
    if (!bHasExtension || strPath[strPath.size() - kExtension.size() - 1] == '/')
        strPath += kExtension;
    return strPath;
}
