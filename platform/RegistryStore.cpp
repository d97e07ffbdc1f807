#include "platform/RegistryStore.h"

#include <cstring>

std::string SystemErrorText(int nCode)
{
    if (nCode == kNotRegularFileError)
        return "Not a regular file";
    char buf[256] = {};
    // GNU strerror_r may return a static text instead of filling buf.
    const char* p = strerror_r(nCode, buf, sizeof buf);
    return p ? std::string(p) : std::string(buf);
}
