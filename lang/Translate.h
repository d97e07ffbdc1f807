// The program's texts shown in the language chosen at start: the translator main() installs
// has the English texts; with none installed (Russian) every text is shown as written.
#pragma once

#include "platform/Translatable.h"

#include <QCoreApplication>
#include <QString>

#include <string>

// A text of ours (marked TG_TR_NOOP) in the program's language; any other text comes back as
// it is.
inline QString Tr(const char* pszText)
{
    return QCoreApplication::translate(kTextContext, pszText);
}

inline QString Tr(const std::string& strText)
{
    return Tr(strText.c_str());
}

// Our pieces translated, the values kept.
inline QString Tr(const TextPieces& arrText)
{
    QString strText;
    for (const STextPiece& piece : arrText)
        strText += piece.bOwn ? Tr(piece.strText) : QString::fromStdString(piece.strText);
    return strText;
}

// A line made of a text of ours and a value after it ("MIDI канал: 3"): the text translated,
// the value kept. A line that does not begin with the text is only translated as a whole.
inline QString TrLead(const char* pszLead, const std::string& strLine)
{
    const std::string strLead = pszLead;
    if (strLead.empty() || strLine.compare(0, strLead.size(), strLead) != 0)
        return Tr(strLine);
    return Tr(pszLead) + QString::fromStdString(strLine.substr(strLead.size()));
}

// Tr() as UTF-8, for texts composed on the window's side and handed on as the engine's texts
// are (a message for the prompter).
inline std::string TrStd(const char* pszText)
{
    return Tr(pszText).toStdString();
}

inline std::string TrStd(const std::string& strText)
{
    return Tr(strText).toStdString();
}
