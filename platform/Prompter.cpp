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

EAnswer ShowMessage(IPrompter& prompter, const TextPieces& arrText, const std::string& strCaption,
                    EIcon eIcon)
{
    return prompter.Ask(SMessage{JoinPieces(arrText), strCaption, eIcon, EButtons::Ok, false, arrText});
}

std::string AskSavePath(IPrompter& prompter, const std::string& strTitle, const std::string& strInitialFolder)
{
    const std::string strPath = prompter.AskSavePathAsChosen(strTitle, strInitialFolder);
    // Projects are known by their extension: a name saved without it could not be opened,
    // played or saved as a project again.
    return strPath.empty() ? strPath : WithExtension(strPath, ".tgp");
}

std::string WithExtension(const std::string& strPath, std::string_view strExtension)
{
    // The name alone, in small letters: "Song.TGP" has it, a bare ".tgp" or a folder "x.tgp/" not.
    std::string strName = strPath.substr(strPath.find_last_of('/') + 1);
    for (char& c : strName)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (strName.size() <= strExtension.size() || !strName.ends_with(strExtension))
        return strPath + std::string(strExtension);
    return strPath;
}
