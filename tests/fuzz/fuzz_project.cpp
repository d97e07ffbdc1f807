// Feeds any bytes to the project checks, the record walker and the playing-time sum.
#include "platform/Prompter.h"
#include "project/ProjectFormat.h"
#include "project/ProjectPlayer.h"
#include "tests/fuzz/SilentPrompter.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    CSilentPrompter prompter;

    // The bytes as a whole project, and as a stream of each version.
    std::vector<uint8_t> project(pData, pData + nSize);
    CProjectPlayer player(prompter);
    player.SetData(project);
    player.ComputeTotal();

    for (int nVersion : {0, 1})
    {
        size_t nEnd = 0;
        SWalkResult result =
            WalkRecords(nVersion, std::span(pData, nSize),
                        [&](const SRecord& r)
                        {
                            if (r.nOffset != nEnd || r.nSize == 0 || r.nOffset + r.nSize > nSize)
                                std::abort();
                            nEnd = r.nOffset + r.nSize;
                            return true;
                        });
        if (result.eEnd == EWalkEnd::End && result.nOffset != nSize)
            std::abort();
    }
    return 0;
}
