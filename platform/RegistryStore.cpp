#include "platform/RegistryStore.h"

#include "platform/xdg/FileRegistryStore.h"

#include <atomic>
#include <cstring>

namespace
{
std::atomic<IRegistryStore*> g_pStore{nullptr};
}

IRegistryStore& Registry()
{
    if (IRegistryStore* p = g_pStore.load())
        return *p;
    static CFileRegistryStore defaultStore(CFileRegistryStore::DefaultUserFolder(),
                                           CFileRegistryStore::DefaultMachineFolder());
    return defaultStore;
}

void SetRegistry(IRegistryStore* pStore) { g_pStore.store(pStore); }

std::string SystemErrorText(int nCode)
{
    if (nCode == kNotRegularFileError)
        return "Not a regular file";
    char buf[256] = {};
    // GNU strerror_r may return a static text instead of filling buf.
    const char* p = strerror_r(nCode, buf, sizeof buf);
    return p ? std::string(p) : std::string(buf);
}
