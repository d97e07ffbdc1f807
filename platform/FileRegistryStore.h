// The registry store on Linux: one human-readable text file per root, rewritten atomically.
//   current user: $XDG_CONFIG_HOME/Tonegrove/registry.txt (default ~/.config/Tonegrove/)
//   machine:      first folder of $XDG_CONFIG_DIRS + /Tonegrove/registry.txt (default /etc/xdg/)
#pragma once

#include "platform/RegistryStore.h"

#include <mutex>
#include <string>

class CFileRegistryStore : public IRegistryStore
{
  public:
    CFileRegistryStore(std::string strUserFolder, std::string strMachineFolder);
    // The folders of the environment, as described above.
    static std::string DefaultUserFolder();
    static std::string DefaultMachineFolder();

    std::optional<SRegValue> Read(ERoot eRoot, const std::string& strKey, const std::string& strName) override;
    int Write(ERoot eRoot, const std::string& strKey, const std::string& strName,
              const SRegValue& value) override;
    int Remove(ERoot eRoot, const std::string& strKey, const std::string& strName) override;

    std::string FilePath(ERoot eRoot) const;

  private:
    int Change(ERoot eRoot, const std::string& strKey, const std::string& strName, const SRegValue* pValue);

    std::string m_strUserFolder;
    std::string m_strMachineFolder;
    std::mutex m_mutex;
};

// Text form of one store file; exposed for the tests and the fuzzer.
namespace RegistryText
{
// Quotes a name or value text: printable bytes as they are, '"' and '\' and control bytes escaped.
std::string Quote(const std::string& str);
// Reads a quoted text at pos (which points at the opening quote); advances pos past the closing one.
bool Unquote(const std::string& strLine, size_t& pos, std::string& strOut);
} // namespace RegistryText
