#include "platform/MediaCommands.h"

#include "sound/MciInterpreter.h"

#include <atomic>

namespace
{
std::atomic<IMediaCommands*> g_pCommands{nullptr};
}

IMediaCommands& MediaCommands()
{
    if (IMediaCommands* p = g_pCommands.load())
        return *p;
    static CMciInterpreter interpreter;
    return interpreter;
}

void SetMediaCommands(IMediaCommands* pCommands)
{
    g_pCommands.store(pCommands);
}
