#include "platform/ThreadPriority.h"

#include <algorithm>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

bool RequestRealtimePriority(int nPriority)
{
    int nLevel =
        std::clamp(nPriority, sched_get_priority_min(SCHED_FIFO), sched_get_priority_max(SCHED_FIFO));
    // An ordinary user may take real-time levels up to the limit RLIMIT_RTPRIO sets; a privileged
    // process is not held to it, so with a limit of 0 the request is still made as it stands.
    rlimit limit{};
    if (getrlimit(RLIMIT_RTPRIO, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur > 0)
        nLevel = std::min<int>(nLevel, static_cast<int>(limit.rlim_cur));
    sched_param param{};
    param.sched_priority = nLevel;
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}

bool ThisThreadIsRealtime()
{
    int nPolicy = SCHED_OTHER;
    sched_param param{};
    if (pthread_getschedparam(pthread_self(), &nPolicy, &param) != 0)
        return false;
    return nPolicy == SCHED_FIFO || nPolicy == SCHED_RR;
}
