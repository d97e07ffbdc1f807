#include "sound/MciInterpreter.h"

#include "platform/MciErrors.h"
#include "sound/MciTokens.h"

#include <charconv>
#include <cmath>
#include <vector>

CMciInterpreter::CMciInterpreter(SMediaBackends backends)
    : m_pOutputs(std::make_shared<CMediaOutputs>(std::move(backends)))
{
}

CMciInterpreter::~CMciInterpreter()
{
    // Devices end their threads and fall silent as they go.
    std::lock_guard lock(m_mutex);
    m_mapDevices.clear();
}

int CMciInterpreter::Send(const std::string& strCommand, std::string& strReply)
{
    strReply.clear();
    std::vector<std::string> arrWords;
    if (const int nError = SplitMciCommand(strCommand, arrWords))
        return nError;
    if (arrWords.empty())
        return MciError::kMissingCommand;

    using Handler = int (CMciInterpreter::*)(std::span<const std::string>, std::string&);
    struct SVerb
    {
        const char* pszVerb;
        Handler pfnHandler;
    };
    static constexpr SVerb kVerbs[] = {
        {"open", &CMciInterpreter::Open},     {"close", &CMciInterpreter::Close},
        {"set", &CMciInterpreter::Set},       {"status", &CMciInterpreter::Status},
        {"play", &CMciInterpreter::Play},     {"pause", &CMciInterpreter::Pause},
        {"resume", &CMciInterpreter::Resume}, {"stop", &CMciInterpreter::Stop},
        {"seek", &CMciInterpreter::Seek},
    };

    const std::string strVerb = MciLower(arrWords[0]);
    for (const SVerb& verb : kVerbs)
    {
        if (strVerb != verb.pszVerb)
            continue;
        std::lock_guard lock(m_mutex);
        return (this->*verb.pfnHandler)(std::span<const std::string>(arrWords).subspan(1), strReply);
    }
    return MciError::kUnrecognizedCommand;
}

std::string CMciInterpreter::ErrorText(int nCode)
{
    return MciErrorText(nCode);
}

IMediaDevice* CMciInterpreter::Find(const std::string& strAlias, int& nError)
{
    const auto it = m_mapDevices.find(MciLower(strAlias));
    nError = it == m_mapDevices.end() ? MciError::kUnknownDevice : MciError::kNone;
    return it == m_mapDevices.end() ? nullptr : it->second.get();
}

// open <path> type <device type> [alias <name>]
int CMciInterpreter::Open(std::span<const std::string> arrArgs, std::string& strReply)
{
    if (arrArgs.empty())
        return MciError::kMissingParameter;
    const std::string& strPath = arrArgs[0];
    std::string strType;
    std::string strAlias;
    for (size_t i = 1; i < arrArgs.size(); i += 2)
    {
        const std::string strKey = MciLower(arrArgs[i]);
        if (strKey != "type" && strKey != "alias")
            return MciError::kUnrecognizedKeyword;
        if (i + 1 >= arrArgs.size())
            return MciError::kMissingArgument;
        (strKey == "type" ? strType : strAlias) = arrArgs[i + 1];
    }
    if (strType.empty())
        return MciError::kDeviceTypeRequired;
    // Without an alias MCI names the device after its file, and so do we.
    const std::string strKey = MciLower(strAlias.empty() ? strPath : strAlias);
    if (m_mapDevices.count(strKey))
        return MciError::kDuplicateAlias;

    int nError = MciError::kNone;
    std::unique_ptr<IMediaDevice> pDevice = OpenMediaDevice(strType, strPath, m_pOutputs, nError);
    if (!pDevice)
        return nError;
    m_mapDevices.emplace(strKey, std::move(pDevice));
    return MciError::kNone;
}

// close <alias>
int CMciInterpreter::Close(std::span<const std::string> arrArgs, std::string& strReply)
{
    int nError = MciError::kNone;
    if (!FindFirst(arrArgs, nError))
        return nError;
    if (arrArgs.size() > 1)
        return MciError::kUnrecognizedKeyword;
    m_mapDevices.erase(MciLower(arrArgs[0]));
    return MciError::kNone;
}

// set <alias> time format milliseconds
int CMciInterpreter::Set(std::span<const std::string> arrArgs, std::string& strReply)
{
    int nError = MciError::kNone;
    if (!FindFirst(arrArgs, nError))
        return nError;
    if (arrArgs.size() < 2)
        return MciError::kMissingParameter;
    if (MciLower(arrArgs[1]) != "time" || arrArgs.size() < 3 || MciLower(arrArgs[2]) != "format")
        return MciError::kUnrecognizedKeyword;
    if (arrArgs.size() < 4)
        return MciError::kMissingArgument;
    if (arrArgs.size() > 4)
        return MciError::kUnrecognizedKeyword;
    // Milliseconds are the only format the player uses, and every device answers in them, so
    // there is nothing to remember; other formats are refused rather than silently ignored.
    const std::string strFormat = MciLower(arrArgs[3]);
    return strFormat == "milliseconds" || strFormat == "ms" ? MciError::kNone : MciError::kBadTimeFormat;
}

// status <alias> length | position | mode
int CMciInterpreter::Status(std::span<const std::string> arrArgs, std::string& strReply)
{
    int nError = MciError::kNone;
    IMediaDevice* pDevice = FindFirst(arrArgs, nError);
    if (!pDevice)
        return nError;
    if (arrArgs.size() < 2)
        return MciError::kMissingParameter;
    if (arrArgs.size() > 2)
        return MciError::kUnrecognizedKeyword;
    const std::string strItem = MciLower(arrArgs[1]);
    if (strItem == "length")
    {
        strReply = std::to_string(pDevice->LengthMs());
        return MciError::kNone;
    }
    if (strItem == "position")
    {
        strReply = std::to_string(pDevice->PositionMs());
        return MciError::kNone;
    }
    if (strItem == "mode")
    {
        strReply = MediaModeWord(pDevice->Mode());
        return MciError::kNone;
    }
    return MciError::kUnrecognizedKeyword;
}

IMediaDevice* CMciInterpreter::FindFirst(std::span<const std::string> arrArgs, int& nError)
{
    if (arrArgs.empty())
    {
        nError = MciError::kMissingParameter;
        return nullptr;
    }
    return Find(arrArgs[0], nError);
}

IMediaDevice* CMciInterpreter::FindAlone(std::span<const std::string> arrArgs, int& nError)
{
    IMediaDevice* pDevice = FindFirst(arrArgs, nError);
    if (pDevice && arrArgs.size() > 1)
    {
        nError = MciError::kUnrecognizedKeyword;
        return nullptr;
    }
    return pDevice;
}

int CMciInterpreter::OnAlone(std::span<const std::string> arrArgs, int (IMediaDevice::*pCommand)())
{
    int nError = MciError::kNone;
    IMediaDevice* pDevice = FindAlone(arrArgs, nError);
    return pDevice ? (pDevice->*pCommand)() : nError;
}

// play <alias>: from where the device stands, without waiting for the end
int CMciInterpreter::Play(std::span<const std::string> arrArgs, std::string& strReply)
{
    return OnAlone(arrArgs, &IMediaDevice::Play);
}

// pause <alias>
int CMciInterpreter::Pause(std::span<const std::string> arrArgs, std::string& strReply)
{
    return OnAlone(arrArgs, &IMediaDevice::Pause);
}

// resume <alias>: goes on only from a pause
int CMciInterpreter::Resume(std::span<const std::string> arrArgs, std::string& strReply)
{
    int nError = MciError::kNone;
    IMediaDevice* pDevice = FindAlone(arrArgs, nError);
    if (!pDevice)
        return nError;
    return pDevice->Mode() == EMediaMode::Paused ? pDevice->Play() : MciError::kNone;
}

// stop <alias>
int CMciInterpreter::Stop(std::span<const std::string> arrArgs, std::string& strReply)
{
    return OnAlone(arrArgs, &IMediaDevice::Stop);
}

// seek <alias> to <milliseconds> | start | end
int CMciInterpreter::Seek(std::span<const std::string> arrArgs, std::string& strReply)
{
    int nError = MciError::kNone;
    IMediaDevice* pDevice = FindFirst(arrArgs, nError);
    if (!pDevice)
        return nError;
    if (arrArgs.size() < 2)
        return MciError::kMissingParameter;
    if (MciLower(arrArgs[1]) != "to")
        return MciError::kUnrecognizedKeyword;
    if (arrArgs.size() < 3)
        return MciError::kMissingArgument;
    if (arrArgs.size() > 3)
        return MciError::kUnrecognizedKeyword;
    const std::string strWhere = MciLower(arrArgs[2]);
    if (strWhere == "start" || strWhere == "end")
        return pDevice->Seek(strWhere == "start" ? 0.0 : double(pDevice->LengthMs()));
    // The player writes fractions (0.5) and, for tiny ones, exponents (5.e-003).
    const std::string& strTarget = arrArgs[2];
    double fMs = 0;
    const auto result = std::from_chars(strTarget.data(), strTarget.data() + strTarget.size(), fMs);
    if (result.ec != std::errc() || result.ptr != strTarget.data() + strTarget.size() || !std::isfinite(fMs))
        return MciError::kBadInteger;
    if (fMs < 0 || fMs > double(pDevice->LengthMs()))
        return MciError::kOutOfRange;
    return pDevice->Seek(fMs);
}
