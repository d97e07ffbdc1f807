#include "platform/fluidsynth/FluidSynth.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <mutex>
#include <sys/stat.h>

namespace
{
// FluidSynth reports to the console by default; the program has no console to talk to.
void SilenceFluidSynth()
{
    static std::once_flag s_once;
    std::call_once(s_once,
                   []
                   {
                       for (int nLevel : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
                           fluid_set_log_function(nLevel, nullptr, nullptr);
                   });
}
} // namespace

std::string SoundFontProblem(const std::string& strPath)
{
    if (strPath.empty())
        return "no file named";
    struct stat st;
    if (stat(strPath.c_str(), &st) != 0)
        return std::strerror(errno);
    if (S_ISDIR(st.st_mode))
        return "it is a folder";
    if (!S_ISREG(st.st_mode))
        return "it is not a file";
    if (!fluid_is_soundfont(strPath.c_str()))
        return "it is not a SoundFont";
    return {};
}

std::unique_ptr<CFluidSynth> CFluidSynth::Create(const std::string& strSoundFont, int nRate,
                                                 std::string* pstrWhy)
{
    SilenceFluidSynth();
    auto Fail = [pstrWhy](std::string strWhy) -> std::unique_ptr<CFluidSynth>
    {
        if (pstrWhy)
            *pstrWhy = std::move(strWhy);
        return nullptr;
    };
    if (std::string strProblem = SoundFontProblem(strSoundFont); !strProblem.empty())
        return Fail(strProblem);
    std::unique_ptr<CFluidSynth> p(new CFluidSynth);
    p->m_nRate = nRate;
    p->m_pSettings = new_fluid_settings();
    if (!p->m_pSettings)
        return Fail("FluidSynth cannot start");
    fluid_settings_setnum(p->m_pSettings, "synth.sample-rate", nRate);
    fluid_settings_setnum(p->m_pSettings, "synth.gain", kSynthGain);
    fluid_settings_setint(p->m_pSettings, "synth.cpu-cores", 1);
    fluid_settings_setint(p->m_pSettings, "synth.threadsafe-api", 1);
    p->m_pSynth = new_fluid_synth(p->m_pSettings);
    if (!p->m_pSynth)
        return Fail("FluidSynth cannot start");
    if (!p->LoadSoundFont(strSoundFont))
        return Fail("FluidSynth cannot load it");
    return p;
}

std::string SSoundFontFallback::Text() const
{
    std::string strText = "the SoundFont \"" + strChosen + "\" cannot be loaded (" + strWhy + ")";
    if (bFallbackLoaded)
        return strText + "; playing with \"" + strFallback + "\" instead";
    if (strFallback != strChosen)
        strText += ", nor can \"" + strFallback + "\" (" + strFallbackWhy + ")";
    return strText + ": the built-in synthesizer cannot play";
}

std::unique_ptr<CFluidSynth> LoadSynthWithFallback(const std::string& strChosen,
                                                   const std::string& strFallback,
                                                   SSoundFontFallback* pFallback, int nRate)
{
    SSoundFontFallback fallback;
    if (std::unique_ptr<CFluidSynth> p = CFluidSynth::Create(strChosen, nRate, &fallback.strWhy))
        return p;
    fallback.strChosen = strChosen;
    fallback.strFallback = strFallback;
    fallback.strFallbackWhy = fallback.strWhy;
    std::unique_ptr<CFluidSynth> p;
    if (strFallback != strChosen)
        p = CFluidSynth::Create(strFallback, nRate, &fallback.strFallbackWhy);
    fallback.bFallbackLoaded = p != nullptr;
    if (pFallback)
        *pFallback = std::move(fallback);
    return p;
}

std::unique_ptr<CFluidSynth> CreateSynthWithFallback(const std::string& strChosen,
                                                     const std::string& strFallback,
                                                     const std::function<void(const std::string&)>& fTell,
                                                     int nRate)
{
    SSoundFontFallback fallback;
    std::unique_ptr<CFluidSynth> p = LoadSynthWithFallback(strChosen, strFallback, &fallback, nRate);
    if (!fallback.strWhy.empty() && fTell)
        fTell(fallback.Text());
    return p;
}

bool CFluidSynth::LoadSoundFont(const std::string& strPath)
{
    if (strPath.empty() || !fluid_is_soundfont(strPath.c_str()))
        return false;
    const int nId = fluid_synth_sfload(m_pSynth, strPath.c_str(), 1);
    if (nId == FLUID_FAILED)
        return false;
    // Notes still sounding keep their samples until they end; FluidSynth frees them after.
    if (m_nSoundFont >= 0)
        fluid_synth_sfunload(m_pSynth, m_nSoundFont, 1);
    m_nSoundFont = nId;
    return true;
}

CFluidSynth::~CFluidSynth()
{
    if (m_pSynth)
        delete_fluid_synth(m_pSynth);
    if (m_pSettings)
        delete_fluid_settings(m_pSettings);
}

void CFluidSynth::ShortMsg(uint32_t dwMessage)
{
    const int nStatus = static_cast<int>(dwMessage & 0xFF);
    const int nChannel = nStatus & 0x0F;
    const int nData1 = static_cast<int>((dwMessage >> 8) & 0xFF);
    const int nData2 = static_cast<int>((dwMessage >> 16) & 0xFF);
    if (nStatus == 0xFF)
    {
        fluid_synth_system_reset(m_pSynth);
        return;
    }
    if (nStatus < 0x80 || nStatus >= 0xF0 || nData1 > 127 || nData2 > 127)
        return;
    switch (nStatus & 0xF0)
    {
    case 0x80:
        fluid_synth_noteoff(m_pSynth, nChannel, nData1);
        break;
    case 0x90:
        fluid_synth_noteon(m_pSynth, nChannel, nData1, nData2); // velocity 0 is a note off
        break;
    case 0xA0:
        fluid_synth_key_pressure(m_pSynth, nChannel, nData1, nData2);
        break;
    case 0xB0:
        fluid_synth_cc(m_pSynth, nChannel, nData1, nData2);
        break;
    case 0xC0:
        fluid_synth_program_change(m_pSynth, nChannel, nData1);
        break;
    case 0xD0:
        fluid_synth_channel_pressure(m_pSynth, nChannel, nData1);
        break;
    case 0xE0:
        fluid_synth_pitch_bend(m_pSynth, nChannel, nData1 | (nData2 << 7));
        break;
    default:
        break;
    }
}

void CFluidSynth::Render(float* pStereo, int nFrames)
{
    if (nFrames <= 0)
        return;
    fluid_synth_write_float(m_pSynth, nFrames, pStereo, 0, 2, pStereo, 1, 2);
    // The limiter: a frame that would pass the ceiling lowers the gain at once, so that no frame
    // passes it; the gain then comes back over about 150 ms, slowly enough not to be heard as a
    // pumping. Only chords of many loud voices reach it.
    const float fRelease = 1.0f - std::exp(-1.0f / (0.15f * static_cast<float>(m_nRate)));
    for (int i = 0; i < nFrames; ++i)
    {
        float& fLeft = pStereo[2 * i];
        float& fRight = pStereo[2 * i + 1];
        const float fPeak = std::max(std::fabs(fLeft), std::fabs(fRight));
        const float fWanted = fPeak > kSynthCeiling ? kSynthCeiling / fPeak : 1.0f;
        if (fWanted < m_fLimiterGain)
            m_fLimiterGain = fWanted;
        else
            m_fLimiterGain += (fWanted - m_fLimiterGain) * fRelease;
        fLeft *= m_fLimiterGain;
        fRight *= m_fLimiterGain;
    }
}

int CFluidSynth::ActiveVoices()
{
    return fluid_synth_get_active_voice_count(m_pSynth);
}
