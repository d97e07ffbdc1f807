// tonegrove-cli info: version, record count and playing time of project files; kind and length
// of WAV and MID files.
#pragma once

#include <string>
#include <vector>

class IPrompter;

// Prints the facts of each file; gives the exit code: 0, 1 (a file could not be read) or
// 2 (a project is damaged or from a future version, a WAV or MID file cannot be read as one).
// A damaged project is said through prompter.
int RunInfo(const std::vector<std::string>& files, IPrompter& prompter);
