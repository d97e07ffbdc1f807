// Fuzz target for the waveaudio device: whatever the bytes, opening, decoding and playing them
// into a stream gives an MCI code or sound without crashing, and the position never passes the
// length the device gave.
#include "platform/MciErrors.h"
#include "platform/sndfile/SndfileWavReader.h"
#include "sound/WaveDevice.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

// libFuzzer ends the process with _Exit, so the file goes after every input, not at exit.
const std::string& ScratchPath()
{
    static const std::string strPath = "/tmp/fuzz_wave_device." + std::to_string(getpid()) + ".wav";
    return strPath;
}

// A stream that mixes only when told, on this thread.
class CStillOut : public IAudioOut
{
  public:
    bool AddSource(IAudioSource* pSource) override
    {
        m_pSource = pSource;
        return true;
    }
    void RemoveSource(IAudioSource*) override { m_pSource = nullptr; }
    IAudioSource* m_pSource = nullptr;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    FILE* pFile = std::fopen(ScratchPath().c_str(), "wb");
    if (!pFile)
        return 0;
    const bool bWritten = std::fwrite(pData, 1, nSize, pFile) == nSize;
    if (std::fclose(pFile) != 0 || !bWritten)
        return 0;

    auto pOut = std::make_shared<CStillOut>();
    SMediaBackends backends;
    backends.fAudioOut = [pOut] { return pOut; };
    backends.fOpenWav = OpenSndfileWav;
    int nError = 0;
    {
        std::unique_ptr<CWaveDevice> pDevice =
            CWaveDevice::Open(ScratchPath(), std::make_shared<CMediaOutputs>(backends), nError);
        if (pDevice && pDevice->Play() == MciError::kNone && pOut->m_pSource)
        {
            std::vector<float> arrStereo(2 * 512);
            for (int i = 0; i < 8; ++i)
            {
                pOut->m_pSource->Mix(arrStereo.data(), 512);
                if (pDevice->PositionMs() > pDevice->LengthMs())
                    std::abort();
            }
            pDevice->Seek(pDevice->LengthMs() / 2.0);
            pDevice->Play();
            pOut->m_pSource->Mix(arrStereo.data(), 512);
            if (pDevice->PositionMs() > pDevice->LengthMs())
                std::abort();
        }
    }
    std::remove(ScratchPath().c_str());
    return 0;
}
