// Reading the files named on the command line, with a clear message on standard error when a
// file cannot be read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

bool ReadForCli(const std::string& strPath, std::vector<uint8_t>& bytes);
