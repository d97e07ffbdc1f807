// The program's texts are Russian; an English translation stands beside them (lupdate finds
// every text marked with TG_TR_NOOP, the window shows its translation). The engine has no Qt,
// so it marks its texts with this macro, which is only the text; lupdate is told to read it as
// QT_TRANSLATE_NOOP. Every text has the one context kTextContext, so that whoever shows a text
// can translate it without knowing which header it came from.
#pragma once

#include <string>
#include <vector>

#define TG_TR_NOOP(context, text) text

inline constexpr const char* kTextContext = "Tonegrove";

// One piece of a text made of the program's own texts and values: a piece of our own is
// translated where the text is shown; a value (a number, a path, a system's error text) is
// shown as it is.
struct STextPiece
{
    std::string strText;
    bool bOwn = true;
};

using TextPieces = std::vector<STextPiece>;

// The pieces joined: the text in the program's own language.
inline std::string JoinPieces(const TextPieces& arrPieces)
{
    std::string strText;
    for (const STextPiece& piece : arrPieces)
        strText += piece.strText;
    return strText;
}

inline STextPiece Value(std::string strText)
{
    return {std::move(strText), false};
}
