// Runs a sequence of edits on any bytes taken as a project: whatever the bytes, every result
// keeps the project's header, and an edit of a project whose records are whole gives a project
// whose records are whole.
#include "platform/Prompter.h"
#include "project/ProjectFormat.h"
#include "project/ProjectPlayer.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>

namespace
{
// Answers the balance question Yes or No by the bits it was given, in turn.
class CBitPrompter : public IPrompter
{
  public:
    explicit CBitPrompter(uint64_t nBits) : m_nBits(nBits) {}
    EAnswer Ask(const SMessage& message) override
    {
        if (message.eButtons != EButtons::YesNo)
            return EAnswer::Ok;
        const bool bYes = (m_nBits >> (m_nAsked++ % 64)) & 1;
        return bYes ? EAnswer::Yes : EAnswer::No;
    }

  private:
    uint64_t m_nBits;
    unsigned m_nAsked = 0;
};

// The records walk to the stream's end, as the edits need them to.
bool WalksWhole(int nVersion, std::span<const uint8_t> stream)
{
    return WalkRecords(nVersion, stream, [](const SRecord&) { return true; }).eEnd == EWalkEnd::End;
}

bool WalksWhole(std::span<const uint8_t> project, int& nVersion)
{
    return CheckProjectHeader(project, nVersion) == EHeader::Ok &&
           WalksWhole(nVersion, project.subspan(kHeaderSize));
}

void Check(bool bTrue)
{
    if (!bTrue)
        std::abort();
}

enum EOp
{
    kCopy,
    kPaste,
    kDelete,
    kRemoveGaps,
    kCount,
    kPasteForeign, // a clip of bytes from the input, of the other version
    kOpCount,
};

struct SOp
{
    int nOp;
    float fStart;
    float fEnd;
    int nAfter;
    size_t nClipFrom;
    size_t nClipSize;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    FuzzedDataProvider input(pData, nSize);
    // Mostly a right header before the bytes, so that the edits get past the check.
    const int nHeader = input.ConsumeIntegralInRange(0, 3);
    std::vector<SOp> ops(input.ConsumeIntegralInRange(0, 8));
    for (SOp& op : ops)
    {
        op.nOp = input.ConsumeIntegralInRange(0, kOpCount - 1);
        op.fStart = static_cast<float>(input.ConsumeIntegralInRange(-2, 40));
        op.fEnd = static_cast<float>(input.ConsumeIntegralInRange(-2, 40));
        op.nAfter = input.ConsumeIntegralInRange(-2, 40);
        op.nClipFrom = input.ConsumeIntegralInRange<size_t>(0, 64);
        op.nClipSize = input.ConsumeIntegralInRange<size_t>(0, 64);
    }
    CBitPrompter prompter(input.ConsumeIntegral<uint64_t>());
    const std::vector<uint8_t> body = input.ConsumeRemainingBytes<uint8_t>();

    std::vector<uint8_t> project;
    if (nHeader == 1 || nHeader == 2)
        project = MakeHeader(nHeader - 1);
    project.insert(project.end(), body.begin(), body.end());
    const std::vector<uint8_t> header(project.begin(),
                                      project.begin() + std::min(project.size(), kHeaderSize));

    CProjectPlayer player(prompter);
    std::unique_ptr<CProjectPlayer> pClip;
    for (const SOp& op : ops)
    {
        int nVersion = 0;
        const bool bWhole = WalksWhole(project, nVersion);
        player.SetData(project);
        player.m_fMarkStart = op.fStart;
        player.m_fMarkEnd = op.fEnd;
        std::optional<std::vector<uint8_t>> result;
        switch (op.nOp)
        {
        case kCopy:
            pClip = player.Copy();
            if (pClip && bWhole)
                Check(pClip->m_nVersion == nVersion && WalksWhole(nVersion, pClip->Data()));
            break;
        case kPaste:
            result = player.Paste(pClip.get(), op.nAfter);
            break;
        case kDelete:
            result = player.Delete();
            break;
        case kRemoveGaps:
            result = player.RemoveGaps();
            if (result)
                Check(result->size() <= project.size());
            break;
        case kCount:
        {
            const int nCount = player.CountRecords();
            if (bWhole)
            {
                size_t nRecords = 0;
                WalkRecords(nVersion, std::span(project).subspan(kHeaderSize),
                            [&](const SRecord&) { return ++nRecords, true; });
                Check(static_cast<size_t>(nCount) == nRecords);
            }
            break;
        }
        case kPasteForeign:
        {
            const size_t nFrom = std::min(op.nClipFrom, body.size());
            const size_t nCount = std::min(op.nClipSize, body.size() - nFrom);
            CProjectPlayer clip(prompter);
            clip.SetClip(std::vector<uint8_t>(body.begin() + nFrom, body.begin() + nFrom + nCount),
                         bWhole ? 1 - nVersion : op.nAfter & 1);
            result = player.Paste(&clip, op.nAfter);
            break;
        }
        }
        if (!result)
            continue;
        // Every result is this project's header and whole records behind it.
        Check(result->size() >= kHeaderSize && std::equal(header.begin(), header.end(), result->begin()));
        if (bWhole)
        {
            int nResultVersion = -1;
            Check(WalksWhole(*result, nResultVersion) && nResultVersion == nVersion);
        }
        project = std::move(*result);
    }
    return 0;
}
