// Reading the files named on the command line, with a clear message on standard error when a
// file cannot be read, and telling the playlist's media files from projects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

bool ReadForCli(const std::string& strPath, std::vector<uint8_t>& bytes);

enum class ECliFileKind
{
    Project,
    Wav,
    Midi,
};

// By the extension, as the playlist tells them: .wav, and .mid, .midi and .kar, in any letter
// case are media files, everything else is taken for a project.
ECliFileKind CliFileKind(const std::string& strPath);
