#include "platform/Prompter.h"

#include <atomic>
#include <cstdio>

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

std::string AskSavePath(const std::string& strTitle)
{
    std::string strPath = Prompter().AskSavePathAsChosen(strTitle);
    if (strPath.empty())
        return strPath;
    size_t nSlash = strPath.find_last_of('/');
    std::string strName = nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
    if (strName.find('.') == std::string::npos)
        strPath += ".tgp";
    return strPath;
}
