#include "platform/null/MemoryRegistryStore.h"

std::optional<SRegValue> CMemoryRegistryStore::Read(ERoot eRoot, const std::string& strKey,
                                                    const std::string& strName)
{
    std::lock_guard lock(m_mutex);
    auto it = m_mapValues.find({eRoot, strKey, strName});
    if (it == m_mapValues.end())
        return std::nullopt;
    return it->second;
}

int CMemoryRegistryStore::Write(ERoot eRoot, const std::string& strKey, const std::string& strName,
                                const SRegValue& value)
{
    std::lock_guard lock(m_mutex);
    m_mapValues[{eRoot, strKey, strName}] = value;
    return 0;
}

int CMemoryRegistryStore::Remove(ERoot eRoot, const std::string& strKey, const std::string& strName)
{
    std::lock_guard lock(m_mutex);
    m_mapValues.erase({eRoot, strKey, strName});
    return 0;
}
