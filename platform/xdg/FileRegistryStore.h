// The registry store on Linux: one human-readable text file per root, rewritten atomically.
//   current user: $XDG_CONFIG_HOME/Tonegrove/registry.txt (default ~/.config/Tonegrove/)
//   machine:      first folder of $XDG_CONFIG_DIRS + /Tonegrove/registry.txt (default /etc/xdg/)
#pragma once

#include "platform/RegistryStore.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

class CFileRegistryStore : public IRegistryStore
{
  public:
    CFileRegistryStore(std::string strUserFolder, std::string strMachineFolder);
    ~CFileRegistryStore() override;
    // The folders of the environment, as described above.
    static std::string DefaultUserFolder();
    static std::string DefaultMachineFolder();

    std::optional<SRegValue> Read(ERoot eRoot, const std::string& strKey,
                                  const std::string& strName) override;
    int Write(ERoot eRoot, const std::string& strKey, const std::string& strName,
              const SRegValue& value) override;
    int Remove(ERoot eRoot, const std::string& strKey, const std::string& strName) override;
    int WriteValues(ERoot eRoot, const std::string& strKey,
                    const std::vector<std::pair<std::string, SRegValue>>& values) override;
    int CheckReadable(ERoot eRoot) override;
    std::string Location(ERoot eRoot) const override;

    std::string FilePath(ERoot eRoot) const;
    // How many times a file was read and parsed: the parsed lines are kept until our own write
    // or a change of the file (its identity, size or times) makes them old.
    int64_t Loads() const { return m_nLoads; }

    // A line longer than this is damaged: it reads as nothing and is written back as it stood.
    static constexpr size_t kMaxLineBytes = 64 * 1024;

  private:
    struct SCache;
    // 0 with the root's cache holding the file's parsed lines, or the error code.
    int Load(ERoot eRoot, SCache*& pCache);
    int Change(ERoot eRoot, const std::string& strKey,
               const std::vector<std::pair<std::string, const SRegValue*>>& changes);

    std::string m_strUserFolder;
    std::string m_strMachineFolder;
    std::mutex m_mutex;
    std::unique_ptr<SCache> m_pCache[2];
    int64_t m_nLoads = 0;
};

// Text form of one store file; exposed for the tests and the fuzzer.
namespace RegistryText
{
// Quotes a name or value text: printable bytes as they are, '"' and '\' and control bytes escaped.
std::string Quote(const std::string& str);
// Reads a quoted text at pos (which points at the opening quote); advances pos past the closing one.
bool Unquote(const std::string& strLine, size_t& pos, std::string& strOut);
} // namespace RegistryText
