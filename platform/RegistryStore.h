// The key/value store that keeps the settings: two roots (current user and machine), keys
// named by backslash paths, values with a name, a type and their exact text.
#pragma once

#include <optional>
#include <string>

enum class ERoot
{
    CurrentUser,
    LocalMachine,
};

enum class EValueType
{
    String,       // a plain text value
    ExpandString, // a text value with environment references, never expanded by us
    Other,        // anything else (numbers, binary): readers that want text treat it as missing
};

struct SRegValue
{
    EValueType eType = EValueType::String;
    std::string strData; // exact bytes, any characters included
};

class IRegistryStore
{
  public:
    virtual ~IRegistryStore() = default;
    // The value, or nothing when the key, the value or the store itself cannot be read.
    virtual std::optional<SRegValue> Read(ERoot eRoot, const std::string& strKey,
                                          const std::string& strName) = 0;
    // Creates the key when needed and stores the value. Gives 0, or the system's error code.
    virtual int Write(ERoot eRoot, const std::string& strKey, const std::string& strName,
                      const SRegValue& value) = 0;
    // Removes one value; 0 also when it was not there.
    virtual int Remove(ERoot eRoot, const std::string& strKey, const std::string& strName) = 0;
};

// The process-wide store; until a program installs one it is the file store of the user's
// XDG folders (see FileRegistryStore.h).
IRegistryStore& Registry();
// The caller keeps ownership; null restores the default store.
void SetRegistry(IRegistryStore* pStore);

// The system's own text for an error code, in the user's language where the system has it.
std::string SystemErrorText(int nCode);
