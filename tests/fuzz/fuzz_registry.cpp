// Feeds any bytes to the settings file reader, then writes a value into them: reading never
// fails hard, and a write keeps every line that was there.
#include "platform/xdg/FileRegistryStore.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static std::string strFolder = []
    {
        char name[] = "/tmp/tonegrove-fuzz-XXXXXX";
        return std::string(mkdtemp(name));
    }();
    CFileRegistryStore store(strFolder, strFolder + "/machine");
    const std::string strPath = store.FilePath(ERoot::CurrentUser);
    std::ofstream(strPath, std::ios::binary)
        .write(reinterpret_cast<const char*>(pData), static_cast<std::streamsize>(nSize));
    store.Read(ERoot::CurrentUser, "Software\\Tonegrove", "Frequency");
    const SRegValue value{EValueType::String, "a\"b\\c\n\x01"};
    if (store.Write(ERoot::CurrentUser, "Software\\Tonegrove", "Fuzz", value) != 0)
        std::abort();
    auto back = store.Read(ERoot::CurrentUser, "Software\\Tonegrove", "Fuzz");
    if (!back || back->strData != value.strData)
        std::abort();
    return 0;
}
