#include "platform/sndfile/WavFileWriter.h"

#include <sndfile.h>

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
    // Loud chords would otherwise wrap round from the top to the bottom of the range.
    sf_command(pFile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
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
    return sf_writef_float(m_pFile, pStereo, nFrames) == nFrames;
}

bool CWavFileWriter::Close()
{
    if (!m_pFile)
        return true;
    const bool bOk = sf_close(m_pFile) == 0;
    m_pFile = nullptr;
    return bOk;
}
