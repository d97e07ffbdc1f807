#include "platform/sndfile/WavLength.h"

#include <sndfile.h>

#include <algorithm>
#include <limits>

namespace
{

std::optional<uint32_t> MeasureOpened(SNDFILE* pFile, const SF_INFO& info)
{
    if (!pFile)
        return std::nullopt;
    sf_close(pFile);
    if (!IsWaveContainer(info.format))
        return std::nullopt;
    if (info.samplerate <= 0 || info.channels <= 0 || info.frames < 0 || info.frames == SF_COUNT_MAX)
        return std::nullopt;
    // Split the product so that no frame count a header can claim overflows 64 bits.
    const uint64_t nFrames = uint64_t(info.frames);
    const uint64_t nRate = uint64_t(info.samplerate);
    const uint64_t nWhole = nFrames / nRate;
    if (nWhole > std::numeric_limits<uint32_t>::max() / 1000)
        return std::numeric_limits<uint32_t>::max();
    return uint32_t(std::min<uint64_t>(nWhole * 1000 + (nFrames % nRate) * 1000 / nRate,
                                       std::numeric_limits<uint32_t>::max()));
}

// A seek further than this fails on a file (EINVAL: ext4 with 4 KiB blocks holds no longer
// file), and libsndfile reads a header differently after a failed seek; the memory stream refuses
// the same seeks so that bytes measure alike from memory and from disk.
constexpr sf_count_t kLargestFileOffset = (sf_count_t(1) << 44) - 4096;

// A read-only libsndfile stream over bytes in memory.
struct SMemoryStream
{
    std::span<const uint8_t> bytes;
    sf_count_t nPos = 0;
};

sf_count_t MemLength(void* pUser)
{
    return sf_count_t(static_cast<SMemoryStream*>(pUser)->bytes.size());
}

sf_count_t MemSeek(sf_count_t nOffset, int nWhence, void* pUser)
{
    auto* p = static_cast<SMemoryStream*>(pUser);
    const sf_count_t nSize = sf_count_t(p->bytes.size());
    sf_count_t nBase = 0;
    if (nWhence == SEEK_CUR)
        nBase = p->nPos;
    else if (nWhence == SEEK_END)
        nBase = nSize;
    else if (nWhence != SEEK_SET)
        return -1;
    // Header fields feed these offsets: refuse what would overflow or leave the buffer's start.
    if ((nOffset > 0 && nBase > std::numeric_limits<sf_count_t>::max() - nOffset) || nBase + nOffset < 0 ||
        nBase + nOffset > kLargestFileOffset)
        return -1;
    p->nPos = nBase + nOffset;
    return p->nPos;
}

sf_count_t MemRead(void* pDest, sf_count_t nCount, void* pUser)
{
    auto* p = static_cast<SMemoryStream*>(pUser);
    const sf_count_t nSize = sf_count_t(p->bytes.size());
    if (nCount <= 0 || p->nPos >= nSize)
        return 0;
    const sf_count_t nTake = std::min(nCount, nSize - p->nPos);
    std::copy_n(p->bytes.data() + p->nPos, nTake, static_cast<uint8_t*>(pDest));
    p->nPos += nTake;
    return nTake;
}

sf_count_t MemWrite(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t MemTell(void* pUser)
{
    return static_cast<SMemoryStream*>(pUser)->nPos;
}

} // namespace

bool IsWaveContainer(int nSndFileFormat)
{
    switch (nSndFileFormat & SF_FORMAT_TYPEMASK)
    {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
    case SF_FORMAT_RF64:
    case SF_FORMAT_W64:
        return true;
    default:
        return false;
    }
}

std::optional<uint32_t> WavLengthMs(const std::string& strPath)
{
    SF_INFO info{};
    return MeasureOpened(sf_open(strPath.c_str(), SFM_READ, &info), info);
}

std::optional<uint32_t> WavLengthMs(std::span<const uint8_t> bytes)
{
    SMemoryStream stream{bytes, 0};
    SF_VIRTUAL_IO io{MemLength, MemSeek, MemRead, MemWrite, MemTell};
    SF_INFO info{};
    return MeasureOpened(sf_open_virtual(&io, SFM_READ, &info, &stream), info);
}
