// A settings store that keeps its values in memory for the run and nowhere else: for a program
// that must not touch the user's settings files (a check, a demonstration), and for tests.
#pragma once

#include "platform/RegistryStore.h"

#include <map>
#include <mutex>
#include <tuple>

class CMemoryRegistryStore : public IRegistryStore
{
  public:
    std::optional<SRegValue> Read(ERoot eRoot, const std::string& strKey,
                                  const std::string& strName) override;
    int Write(ERoot eRoot, const std::string& strKey, const std::string& strName,
              const SRegValue& value) override;
    int Remove(ERoot eRoot, const std::string& strKey, const std::string& strName) override;

  private:
    std::mutex m_mutex; // the window thread and the players read settings
    std::map<std::tuple<ERoot, std::string, std::string>, SRegValue> m_mapValues;
};
