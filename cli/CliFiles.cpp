#include "cli/CliFiles.h"

#include "app/FileHelpers.h"
#include "app/TextHelpers.h"
#include "sound/MidiFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

bool ReadForCli(const std::string& strPath, std::vector<uint8_t>& bytes)
{
    // Only regular files are opened: a named pipe or a device would keep us waiting, and a
    // folder has nothing to read. Each failure says why.
    SReadStatus status;
    bytes = ReadWholeFile(strPath, status);
    if (!status.Ok())
    {
        std::fprintf(stderr, "%s: %s\n", strPath.c_str(), status.Reason().c_str());
        return false;
    }
    return true;
}

ECliFileKind CliFileKind(const std::string& strPath)
{
    std::optional<std::string> strExt = ExtensionOf(strPath);
    if (!strExt)
        return ECliFileKind::Project;
    if (IsMidiFileExtension(*strExt))
        return ECliFileKind::Midi;
    std::string strLower = *strExt;
    std::transform(strLower.begin(), strLower.end(), strLower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return strLower == "wav" ? ECliFileKind::Wav : ECliFileKind::Project;
}
