#include "platform/Prompter.h"

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

EAnswer ShowMessage(IPrompter& prompter, const std::string& strText, const std::string& strCaption,
                    EIcon eIcon)
{
    return prompter.Ask(SMessage{strText, strCaption, eIcon, EButtons::Ok, false});
}

std::string AskSavePath(IPrompter& prompter, const std::string& strTitle, const std::string& strInitialFolder)
{
    std::string strPath = prompter.AskSavePathAsChosen(strTitle, strInitialFolder);
    if (strPath.empty())
        return strPath;
    // Projects are known by their extension: a name saved without it could not be opened,
    // played or saved as a project again.
    // The name alone, in small letters: "Song.TGP" has it, a bare ".tgp" or a folder "x.tgp/" not.
    std::string strName = strPath.substr(strPath.find_last_of('/') + 1);
    for (char& c : strName)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    constexpr std::string_view kExtension = ".tgp";
    if (strName.size() <= kExtension.size() || !strName.ends_with(kExtension))
        strPath += kExtension;
    return strPath;
}
