#include "sound/SoundFontChoice.h"

#include "app/Settings.h"
#include "platform/Synthesizer.h"

#include <cstdlib>

std::string ChooseSoundFont(const CSettings& settings)
{
    if (const char* pEnv = std::getenv(kSoundFontEnv); pEnv && *pEnv)
        return pEnv;
    if (auto strSetting = settings.ReadText(ERoot::CurrentUser, kSoundFontSetting);
        strSetting && !strSetting->empty())
        return *strSetting;
    return kSystemSoundFont;
}
