#include "platform/MciTokens.h"

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
            const size_t nClose = strCommand.find('"', i + 1);
            if (nClose == std::string::npos)
            {
                arrWords.clear();
                return MciError::kNoClosingQuote;
            }
            arrWords.push_back(strCommand.substr(i + 1, nClose - i - 1));
            i = nClose + 1;
            continue;
        }
        const size_t nEnd = std::min(strCommand.find(' ', i), nSize);
        arrWords.push_back(strCommand.substr(i, nEnd - i));
        i = nEnd;
    }
    return MciError::kNone;
}

std::string MciLower(std::string str)
{
    for (char& c : str)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return str;
}
