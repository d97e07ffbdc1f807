#include "options/SoundFontCheck.h"

#include <cstring>
#include <filesystem>
#include <fstream>

bool IsSoundFontFile(const std::string& strPath)
{
    // Only a regular file: opening a pipe or a device to look at it could wait for ever.
    std::error_code ec;
    if (strPath.empty() || !std::filesystem::is_regular_file(strPath, ec))
        return false;
    std::ifstream in(strPath, std::ios::binary);
    char header[12] = {};
    if (!in.read(header, sizeof header))
        return false;
    return std::memcmp(header, "RIFF", 4) == 0 && std::memcmp(header + 8, "sfbk", 4) == 0;
}
