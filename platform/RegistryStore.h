// The key/value store that keeps the settings: two roots (current user and machine), keys
// named by backslash paths, values with a name, a type and their exact text.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

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

    // Stores several values of one key in one go and gives 0 or the first error code. The file
    // store writes all of them or none; this default writes them one by one and stops at the
    // first failure.
    virtual int WriteValues(ERoot eRoot, const std::string& strKey,
                            const std::vector<std::pair<std::string, SRegValue>>& values)
    {
        for (const auto& [strName, value] : values)
        {
            if (int n = Write(eRoot, strKey, strName, value))
                return n;
        }
        return 0;
    }
    // 0 when the root can be read or does not exist yet; else the error code that makes every
    // read of it come back empty, so that the caller can say why once.
    virtual int CheckReadable(ERoot) { return 0; }
    // Where the root lives, in words the user can look up (a folder); empty when there is no such place.
    virtual std::string Location(ERoot) const { return {}; }
};

// The error code of a settings file that is there but is no regular file (a named pipe, a
// device): reading it could block for good, replacing it would destroy what the user put there.
inline constexpr int kNotRegularFileError = -1000;

// The system's own text for an error code, in the user's language where the system has it
// (and a text of ours for kNotRegularFileError).
std::string SystemErrorText(int nCode);
