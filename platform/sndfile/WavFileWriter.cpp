#include "platform/sndfile/WavFileWriter.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>

std::unique_ptr<CWavFileWriter> CWavFileWriter::Create(const std::string& strPath, int nRate,
                                                       std::string& strError)
{
    SF_INFO info{};
    info.samplerate = nRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* pFile = sf_open(strPath.c_str(), SFM_WRITE, &info);
    if (!pFile)
    {
        strError = sf_strerror(nullptr);
        return nullptr;
    }
    std::unique_ptr<CWavFileWriter> p(new CWavFileWriter);
    p->m_pFile = pFile;
    return p;
}

CWavFileWriter::~CWavFileWriter()
{
    Close();
}

bool CWavFileWriter::Write(const float* pStereo, int nFrames)
{
    if (!m_pFile)
        return false;
    if (nFrames <= 0)
        return nFrames == 0;
    // Rounded, not truncated: libsndfile's own conversion floors, so that the synthesizer's
    // tiny offsets (it keeps its reverb out of denormal numbers) would pull a whole step down.
    // Loud chords are clipped; they would otherwise wrap round to the bottom of the range.
    m_arrShorts.resize(2 * static_cast<size_t>(nFrames));
    for (size_t i = 0; i < m_arrShorts.size(); ++i)
    {
        const float f = std::nearbyint(pStereo[i] * 32768.0f);
        m_arrShorts[i] = static_cast<short>(std::isnan(f) ? 0.0f : std::clamp(f, -32768.0f, 32767.0f));
    }
    return sf_writef_short(m_pFile, m_arrShorts.data(), nFrames) == nFrames;
}

bool CWavFileWriter::Close()
{
    if (!m_pFile)
        return true;
    const bool bOk = sf_close(m_pFile) == 0;
    m_pFile = nullptr;
    return bOk;
}
