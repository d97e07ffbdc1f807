#include "platform/Console.h"

#include <unistd.h>

bool IsTerminal(std::FILE* pFile)
{
    return pFile && isatty(fileno(pFile)) == 1;
}
