// Fuzz target for the WAV length reader: whatever the bytes, libsndfile and our checks around
// it give a length or nothing without crashing, and reading the bytes from memory (our own
// stream for libsndfile) must agree with reading the same bytes from a file.
#include "platform/sndfile/WavLength.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace
{

// libFuzzer ends the process with _Exit, so the file goes after every input, not at exit.
const std::string& ScratchPath()
{
    static const std::string strPath = "/tmp/fuzz_wav_length." + std::to_string(getpid()) + ".wav";
    return strPath;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::optional<uint32_t> nFromMemory = WavLengthMs(std::span<const uint8_t>(pData, nSize));

    FILE* pFile = std::fopen(ScratchPath().c_str(), "wb");
    if (!pFile)
        return 0;
    const bool bWritten = std::fwrite(pData, 1, nSize, pFile) == nSize;
    if (std::fclose(pFile) != 0 || !bWritten)
        return 0;
    const std::optional<uint32_t> nFromFile = WavLengthMs(ScratchPath());
    std::remove(ScratchPath().c_str());

    if (nFromMemory != nFromFile)
    {
        std::fprintf(stderr, "memory says %lld, file says %lld\n",
                     nFromMemory ? (long long)*nFromMemory : -1LL, nFromFile ? (long long)*nFromFile : -1LL);
        std::abort();
    }
    return 0;
}
