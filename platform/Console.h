// What the command-line program needs to know of its console: whether an output is a terminal
// (progress lines are redrawn there and left out of files and pipes).
#pragma once

#include <cstdio>

bool IsTerminal(std::FILE* pFile);
