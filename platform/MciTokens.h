// Splits a media command into its words as MCI reads a command string: words are separated by
// spaces, and a word in double quotes (a path with spaces) is one word without its quotes.
#pragma once

#include <string>
#include <vector>

// Gives MciError::kNone, or MciError::kNoClosingQuote when a quoted word never ends.
int SplitMciCommand(const std::string& strCommand, std::vector<std::string>& arrWords);

// ASCII lower case: command words, keywords and aliases are compared without regard to case.
std::string MciLower(std::string str);
