#include "about/ProgramVersion.h"

std::string ProgramVersion()
{
    return TG_PROGRAM_VERSION;
}
