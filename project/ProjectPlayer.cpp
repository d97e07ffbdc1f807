#include "project/ProjectPlayer.h"

#include "app/Messages.h"
#include "platform/Prompter.h"
#include "project/ProjectFormat.h"

#include <algorithm>
#include <limits>

bool CProjectPlayer::CheckHeader(std::vector<uint8_t>* pStream)
{
    int nVersion = 0;
    if (!CheckProject(Data(), nVersion, pStream))
        return false;
    m_nVersion = nVersion;
    return true;
}

bool CProjectPlayer::CheckProject(std::span<const uint8_t> project, int& nVersion,
                                  std::vector<uint8_t>* pStream) const
{
    switch (CheckProjectHeader(project, nVersion))
    {
    case EHeader::Damaged:
        ShowMessage(m_prompter, Msg::kDamagedLength, Msg::kDamagedHeaderCaption, EIcon::Warning);
        return false;
    case EHeader::FutureVersion:
        ShowMessage(m_prompter, Msg::kFutureVersion, Msg::kFutureVersionCaption, EIcon::Warning);
        return false;
    case EHeader::Ok:
        break;
    }
    if (pStream)
        pStream->assign(project.begin() + kHeaderSize, project.end());
    return true;
}

bool CProjectPlayer::ComputeTotal()
{
    if (!CheckHeader())
        return false;
    // The sum is kept wide: a damaged or hostile file may hold delays that overflow 32 bits.
    int64_t nSum = 0;
    const std::span<const uint8_t> stream = Data().subspan(kHeaderSize);
    SWalkResult result =
        WalkRecords(m_nVersion, stream,
                    [&](const SRecord& record)
                    {
                        nSum += record.eKind == ERecordKind::Tone ? record.nDuration : record.nDelay;
                        return true;
                    });
    // In version 0.1 the damaged record's delay was added before its marker was looked at.
    if (result.eEnd == EWalkEnd::Damaged && m_nVersion == 1 && result.bDamagedDelay)
        nSum += result.nDamagedDelay;
    m_nWalked = static_cast<int64_t>(result.nRecords);
    m_nTotal = static_cast<int32_t>(
        std::clamp<int64_t>(nSum, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    if (result.eEnd == EWalkEnd::Damaged)
    {
        ShowMessage(m_prompter, Msg::kDamagedLength, Msg::kDamagedRecordCaption, EIcon::Warning);
        return false;
    }
    return true;
}
