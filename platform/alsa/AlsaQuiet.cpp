#include "platform/alsa/AlsaQuiet.h"

#include <alsa/asoundlib.h>

#include <mutex>

namespace
{
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}
} // namespace

void QuietAlsa()
{
    static std::once_flag s_once;
    std::call_once(s_once, [] { snd_lib_error_set_handler(IgnoreAlsaError); });
}
