#include "platform/sndfile/SndfileWavReader.h"

#include "platform/sndfile/WavLength.h"

#include <sndfile.h>

namespace
{
class CSndfileWavReader : public IWavReader
{
  public:
    CSndfileWavReader(SNDFILE* pFile, const SF_INFO& info) : m_pFile(pFile), m_info(info) {}
    ~CSndfileWavReader() override { sf_close(m_pFile); }
    CSndfileWavReader(const CSndfileWavReader&) = delete;
    CSndfileWavReader& operator=(const CSndfileWavReader&) = delete;

    uint32_t Rate() const override { return uint32_t(m_info.samplerate); }
    int Channels() const override { return m_info.channels; }
    uint64_t Frames() const override { return uint64_t(m_info.frames); }
    bool Seek(uint64_t nFrame) override
    {
        return sf_seek(m_pFile, sf_count_t(nFrame), SEEK_SET) == sf_count_t(nFrame);
    }
    uint64_t Read(float* pSamples, uint64_t nFrames) override
    {
        const sf_count_t nGot = sf_readf_float(m_pFile, pSamples, sf_count_t(nFrames));
        return nGot > 0 ? uint64_t(nGot) : 0;
    }

  private:
    SNDFILE* m_pFile;
    SF_INFO m_info;
};
} // namespace

std::unique_ptr<IWavReader> OpenSndfileWav(const std::string& strPath)
{
    SF_INFO info{};
    SNDFILE* pFile = sf_open(strPath.c_str(), SFM_READ, &info);
    if (!pFile)
        return nullptr;
    if (!IsWaveContainer(info.format) || info.samplerate <= 0 || info.channels <= 0 || info.frames < 0)
    {
        sf_close(pFile);
        return nullptr;
    }
    return std::make_unique<CSndfileWavReader>(pFile, info);
}
