// The questions the main window asks in its own name: boxes it owns.
#pragma once

#include "lang/Translate.h"
#include "mainwnd/MainTexts.h"
#include "platform/Prompter.h"

#include <QString>

#include <string>

inline EAnswer AskOwned(IPrompter& prompter, const std::string& strText, const std::string& strCaption,
                        EIcon eIcon, EButtons eButtons = EButtons::Ok)
{
    return prompter.Ask(SMessage{strText, strCaption, eIcon, eButtons, true});
}

// "Replace the file?", asked before the window writes over a file it did not come from.
inline bool AskReplace(IPrompter& prompter, const std::string& strPath, const std::string& strCaption)
{
    const QString strQuestion = Tr(Txt::kReplaceQuestion).arg(QString::fromStdString(strPath));
    return AskOwned(prompter, strQuestion.toStdString(), strCaption, EIcon::Warning, EButtons::YesNo) ==
           EAnswer::Yes;
}
