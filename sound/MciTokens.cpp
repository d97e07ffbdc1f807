#include "sound/MciTokens.h"

#include "platform/MciErrors.h"

#include <algorithm>

int SplitMciCommand(const std::string& strCommand, std::vector<std::string>& arrWords)
{
    arrWords.clear();
    // Only the space separates words: the player quotes a path only when it holds a space, so a
    // path with a tab or another blank arrives bare and must stay one word.
    size_t i = 0;
    const size_t nSize = strCommand.size();
    while (i < nSize)
    {
        if (strCommand[i] == ' ')
        {
            ++i;
            continue;
        }
        if (strCommand[i] == '"')
        {
            std::string strWord;
            size_t j = i + 1;
            for (;;)
            {
                const size_t nQuote = strCommand.find('"', j);
                if (nQuote == std::string::npos)
                {
                    arrWords.clear();
                    return MciError::kNoClosingQuote;
                }
                strWord.append(strCommand, j, nQuote - j);
                if (nQuote + 1 < nSize && strCommand[nQuote + 1] == '"')
                {
                    strWord += '"'; // a doubled quote is one quote of the word
                    j = nQuote + 2;
                    continue;
                }
                i = nQuote + 1;
                break;
            }
            arrWords.push_back(std::move(strWord));
            continue;
        }
        const size_t nEnd = std::min(strCommand.find(' ', i), nSize);
        arrWords.push_back(strCommand.substr(i, nEnd - i));
        i = nEnd;
    }
    return MciError::kNone;
}

std::string QuoteMciWord(const std::string& strWord)
{
    if (!strWord.empty() && strWord.find_first_of(" \"") == std::string::npos)
        return strWord;
    std::string strOut = "\"";
    for (char c : strWord)
    {
        if (c == '"')
            strOut += '"';
        strOut += c;
    }
    strOut += '"';
    return strOut;
}

std::string MciLower(std::string str)
{
    for (char& c : str)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return str;
}
