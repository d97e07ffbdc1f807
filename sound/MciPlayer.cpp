#include "sound/MciPlayer.h"

#include "app/Messages.h"
#include "app/TextHelpers.h"
#include "platform/Prompter.h"
#include "platform/std/SteadyClock.h"
#include "sound/MciTokens.h"
#include "sound/MidiFile.h"

#include <charconv>
#include <cmath>

namespace
{

// The player thread asks the device for its position and mode this often.
constexpr std::chrono::milliseconds kPollStep{10};
// How long Play waits for a thread that Stop has told to end.
constexpr std::chrono::seconds kEndingWait{1};

std::string Alias(int32_t nAlias)
{
    return "mus" + std::to_string(nAlias);
}

// The text after the last full stop (the whole path when there is none) picks the device.
std::string DeviceType(const std::string& strPath)
{
    std::string strExt = strPath.substr(strPath.rfind('.') + 1);
    for (char& c : strExt)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    if (strExt == "wav")
        return "waveaudio";
    if (strExt == "avi")
        return "avivideo";
    if (IsMidiFileExtension(strExt))
        return "sequencer";
    return {}; // the playlist adds no other files; the layer then refuses the open
}

// A status reply as a number: leading digits with an optional fraction, anything else 0.
// from_chars, not strtod: the GUI runs under the user's locale, where the point may be a comma.
float ReadDecimal(const std::string& strReply)
{
    const char* p = strReply.data();
    const char* pEnd = p + strReply.size();
    while (p < pEnd && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n'))
        ++p;
    if (p < pEnd && *p == '+')
        ++p;
    double dValue = 0;
    const auto result = std::from_chars(p, pEnd, dValue, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(dValue))
        return 0;
    return float(dValue);
}

} // namespace

CMciPlayer::CMciPlayer(IMediaCommands& commands, IPrompter& prompter, IClock* pClock)
    : m_commands(commands), m_prompter(prompter), m_pClock(pClock)
{
    if (!m_pClock)
    {
        m_pOwnClock = MakeSteadyClock();
        m_pClock = m_pOwnClock.get();
    }
}

CMciPlayer::~CMciPlayer()
{
    Shutdown();
}

int CMciPlayer::Send(const std::string& strCommand, std::string& strReply) const
{
    strReply.clear();
    return m_commands.Send(strCommand, strReply);
}

std::string CMciPlayer::Query(int32_t nAlias, const char* pszItem) const
{
    std::string strReply;
    Send("set " + Alias(nAlias) + " time format milliseconds", strReply);
    Send("Status " + Alias(nAlias) + " " + pszItem, strReply);
    return strReply;
}

void CMciPlayer::ShowError(const char* pszText, const char* pszCaption, int nCode)
{
    if (m_bShuttingDown)
        return; // the window is going: nobody is left to answer
    // The error texts of our interpreter are our own texts too (those of other devices are
    // shown as they come: a translation finds nothing for them).
    ShowMessage(m_prompter, TextPieces{{pszText}, Value("\r\n"), {m_commands.ErrorText(nCode)}}, pszCaption,
                EIcon::Error);
}

int CMciPlayer::OpenFile(const std::string& strPath, int32_t nAlias)
{
    std::string strReply;
    if (m_bOpened)
        Send("Close " + Alias(nAlias), strReply);
    const int nError =
        Send("open " + QuoteMciWord(strPath) + " type " + DeviceType(strPath) + " alias " + Alias(nAlias),
             strReply);
    if (nError != 0)
        ShowError(Msg::kMediaOpenError, Msg::kMediaOpenErrorCaption, nError);
    m_bOpened = true;
    return nError;
}

void CMciPlayer::Open(const std::string& strPath, int32_t nAlias)
{
    OpenFile(strPath, nAlias);
}

void CMciPlayer::Close(int32_t nAlias)
{
    std::string strReply;
    Send("Close " + Alias(nAlias), strReply);
}

void CMciPlayer::Pause(int32_t nAlias)
{
    std::string strReply;
    Send("Pause " + Alias(nAlias), strReply);
}

void CMciPlayer::Play(int32_t nAlias, const std::string& strPath)
{
    if (m_bThreadRunning && !m_bPlaying)
    {
        // Stop has told the thread to end; it notices within one poll. Waiting for it here
        // lets Playback on the next row start that row instead of resuming a dying thread.
        // A thread held by its message box waits for the user, not for us: no waiting then.
        const auto tGiveUp = std::chrono::steady_clock::now() + kEndingWait;
        while (m_bThreadRunning && std::chrono::steady_clock::now() < tGiveUp && !m_prompter.IsWorkerAsking())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (m_bThreadRunning)
    {
        m_bPause = false;
        return;
    }
    if (m_thread.joinable())
        m_thread.join(); // it has ended: only its handle is left
    m_nAlias = nAlias;
    m_bPause = false;
    m_bSought = false;
    m_bCut = false;
    // Set here rather than as the thread's first step: a timer tick between the two would take
    // the file for finished before it began.
    m_bPlaying = true;
    m_bThreadRunning = true;
    m_thread = std::thread(&CMciPlayer::PlayThread, this, strPath, nAlias);
}

void CMciPlayer::Stop(int32_t nAlias)
{
    std::string strReply;
    Send("Stop " + Alias(nAlias), strReply);
    m_bPlaying = false;
    // Wake the thread from its poll, so that it has ended before the next Play looks.
    m_bCut = true;
    m_pClock->Interrupt();
}

void CMciPlayer::Seek(int32_t nAlias, float fMs)
{
    std::string strReply;
    // The thread is told before the device stops, so that it never takes the "stopped" the
    // seek leaves behind for the file's end; a seek the device refused tells it nothing.
    const bool bThreads = m_bThreadRunning && nAlias == m_nAlias;
    if (bThreads)
        m_bSought = true;
    Send("set " + Alias(nAlias) + " time format milliseconds", strReply);
    const int nError = Send("Seek " + Alias(nAlias) + " to " + FloatToText(fMs), strReply);
    if (bThreads && nError != 0)
        m_bSought = false;
}

float CMciPlayer::GetLength(int32_t nAlias)
{
    return ReadDecimal(Query(nAlias, "length"));
}

float CMciPlayer::GetPosition(int32_t nAlias)
{
    return ReadDecimal(Query(nAlias, "position"));
}

std::string CMciPlayer::GetMode(int32_t nAlias)
{
    return Query(nAlias, "mode");
}

void CMciPlayer::Shutdown()
{
    m_bShuttingDown = true;
    m_bPlaying = false;
    m_bCut = true;
    m_pClock->Interrupt();
    if (m_thread.joinable())
        m_thread.join();
    m_bShuttingDown = false;
    m_bCut = false;
}

void CMciPlayer::SleepStep()
{
    m_pClock->SleepUntil(m_pClock->Now() + kPollStep, &m_bCut);
}

void CMciPlayer::PlayThread(std::string strPath, int32_t nAlias)
{
    std::string strReply;
    // A file that cannot be opened has been reported by Open; there is nothing to play or to
    // wait for, so the list may move on at once.
    if (OpenFile(strPath, nAlias) == 0)
    {
        const int nPlayError = Send("Play " + Alias(nAlias), strReply);
        m_fLength = GetLength(nAlias);
        // The device stops at the file's end, at a stop command and at a seek; only a seek
        // that the thread was told of means going on from the target.
        auto Finished = [&]
        {
            if (GetMode(nAlias) != "stopped")
                return false;
            if (!m_bSought.exchange(false) || !m_bPlaying)
                return true;
            Send("Play " + Alias(nAlias), strReply);
            return false;
        };
        if (!Finished())
        {
            for (;;)
            {
                m_fPosition = GetPosition(nAlias);
                SleepStep();
                if (!m_bPlaying)
                    break;
                if (m_bPause)
                {
                    Pause(nAlias);
                    while (m_bPause && m_bPlaying)
                        SleepStep();
                    if (!m_bPlaying)
                        break;
                    // The device goes on from where it was paused, or from a seek made meanwhile.
                    m_bSought = false;
                    Send("Play " + Alias(nAlias), strReply);
                }
                if (Finished())
                    break;
            }
        }
        if (nPlayError != 0)
            ShowError(Msg::kMediaPlayError, Msg::kMediaPlayErrorCaption, nPlayError);
        Close(nAlias);
    }
    m_bPlaying = false;
    m_bThreadRunning = false;
}
