#include "cli/CliFiles.h"

#include "app/FileHelpers.h"
#include "app/TextHelpers.h"
#include "platform/RegistryStore.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

bool ReadForCli(const std::string& strPath, std::vector<uint8_t>& bytes)
{
    struct stat st;
    if (stat(strPath.c_str(), &st) != 0)
    {
        std::fprintf(stderr, "%s: %s\n", strPath.c_str(), SystemErrorText(errno).c_str());
        return false;
    }
    if (S_ISDIR(st.st_mode))
    {
        std::fprintf(stderr, "%s: %s\n", strPath.c_str(), SystemErrorText(EISDIR).c_str());
        return false;
    }
    bytes = ReadWholeFile(strPath);
    if (bytes.empty() && st.st_size > 0)
    {
        std::fprintf(stderr, "%s: cannot be read\n", strPath.c_str());
        return false;
    }
    return true;
}

ECliFileKind CliFileKind(const std::string& strPath)
{
    std::optional<std::string> strExt = ExtensionOf(strPath);
    if (!strExt)
        return ECliFileKind::Project;
    std::string strLower = *strExt;
    std::transform(strLower.begin(), strLower.end(), strLower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (strLower == "wav")
        return ECliFileKind::Wav;
    if (strLower == "mid")
        return ECliFileKind::Midi;
    return ECliFileKind::Project;
}
