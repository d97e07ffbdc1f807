// Splits a media command into its words as MCI reads a command string: words are separated by
// spaces, and a word in double quotes (a path with spaces) is one word without its quotes. Inside
// quotes a doubled quote stands for one, so that any file name can be written as one word.
#pragma once

#include <string>
#include <vector>

// Gives MciError::kNone, or MciError::kNoClosingQuote when a quoted word never ends.
int SplitMciCommand(const std::string& strCommand, std::vector<std::string>& arrWords);

// The word as a command carries it: bare when it holds no space and no double quote (and is not
// empty), otherwise in double quotes with each double quote inside doubled. Backslashes and all
// other bytes (UTF-8 or ANSI text) stay as they are. SplitMciCommand gives the word back.
std::string QuoteMciWord(const std::string& strWord);

// ASCII lower case: command words, keywords and aliases are compared without regard to case.
std::string MciLower(std::string str);
