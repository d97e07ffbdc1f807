// Our media-command interpreter with real files the tests write: WAV lengths through libsndfile,
// MIDI lengths through our reader, and the error code of each way a command can fail.
#include "app/Messages.h"
#include "platform/MciErrors.h"
#include "platform/sdl/SdlAudioOut.h"
#include "sound/MciInterpreter.h"
#include "sound/MciPlayer.h"
#include "sound/MciTokens.h"
#include "sound/ProgramOutputs.h"
#include "sound/RealMediaBackends.h"
#include "tests/ManualClock.h"
#include "tests/MediaFixtures.h"
#include "tests/RecorderMidiOut.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace
{

// 480 ticks a quarter; two quarters at 120 bpm (1000 ms), then the tempo doubles and the last
// note ends two and a half quarters later (1200 ticks at 250 ms a quarter = 625 ms): 1625 ms.
TBytes TempoChangeMidi()
{
    CMidiTrack tempo;
    tempo.Tempo(0, 500000).Tempo(960, 250000).End(0);
    CMidiTrack notes;
    notes.Event(0, {0x90, 60, 100}).Event(1920, {0x80, 60, 0}).End(240);
    return MakeMidi(1, 480, {tempo, notes});
}

// 25 frames a second, 40 ticks a frame: one tick is a millisecond, whatever the tempo says.
TBytes SmpteMidi()
{
    CMidiTrack track;
    track.Tempo(0, 1000000).Event(0, {0x90, 64, 90}).Event(2500, {0x80, 64, 0}).End(0);
    return MakeMidi(0, uint16_t((0x100 - 25) << 8 | 40), {track});
}

class CMediaFolder : public ::testing::Test
{
  protected:
    std::string Put(const std::string& strName, const TBytes& bytes)
    {
        const std::string strPath = m_folder.File(strName);
        std::filesystem::create_directories(std::filesystem::path(strPath).parent_path());
        WriteBytes(strPath, bytes);
        return strPath;
    }
    static TBytes Garbage()
    {
        TBytes bytes;
        for (int i = 0; i < 3000; ++i)
            bytes.push_back(uint8_t(i * 37 + (i >> 3)));
        return bytes;
    }
    // The command text for opening a path, quoted as the player quotes it.
    static std::string OpenText(const std::string& strPath, const char* pszType, const char* pszAlias)
    {
        return "open " + QuoteMciWord(strPath) + " type " + pszType + " alias " + pszAlias;
    }

    CTempFolder m_folder;
    CScriptedPrompter m_prompter;
    CSharedSdlAudioOut m_audioOut;
    CMciInterpreter m_layer{RealMediaBackends(m_audioOut.Factory())};
};

TEST_F(CMediaFolder, LengthsOfWavAndMidiFilesAreExactMilliseconds)
{
    struct SCase
    {
        const char* pszName;
        TBytes bytes;
        float fLengthMs;
    };
    const SCase kCases[] = {
        {"plain.wav", MakeWav({44100, 1, 16, 66150}), 1500},
        // 12345 samples at 8000 Hz are 1543.125 ms; the fraction is dropped, not rounded.
        {"odd 8k.wav", MakeWav({8000, 1, 8, 12345}), 1543},
        {"stereo.wav", MakeWav({22050, 2, 16, 22049}), 999},
        {"empty.wav", MakeWav({48000, 2, 16, 0}), 0},
        // The length comes from the data chunk, not from the size of the file.
        {"tagged.wav", MakeWav({44100, 1, 16, 44100, true}), 1000},
        {"my songs/Песня 1.wav", MakeWav({44100, 2, 16, 88200}), 2000},
        {"tab\tname.wav", MakeWav({11025, 1, 8, 11025}), 1000},
        {"tempo.mid", TempoChangeMidi(), 1625},
        {"tempo.midi", TempoChangeMidi(), 1625},
        {"Караоке.kar", TempoChangeMidi(), 1625},
        // The same samples in the 64-bit containers: RF64 and Sony Wave64.
        {"rf64.wav", MakeWav({44100, 2, 16, 66150, false, EWavContainer::Rf64}), 1500},
        {"wave64.wav", MakeWav({8000, 1, 8, 12344, false, EWavContainer::Wave64}), 1543},
        // Any name: quotes, backslashes, spaces and Cyrillic, alone and together.
        {"say \"hi\".wav", MakeWav({44100, 1, 16, 44100}), 1000},
        {"\"quoted\".mid", TempoChangeMidi(), 1625},
        {"\".wav", MakeWav({44100, 1, 16, 44100}), 1000},
        {"back\\slash\\ \"Песня\" №1.wav", MakeWav({22050, 2, 16, 22050}), 1000},
        {"folder ending in a quote\"/song.mid", TempoChangeMidi(), 1625},
        {"\"\"two quotes\"\".wav", MakeWav({11025, 1, 8, 11025}), 1000},
        {"my songs/smpte track.MID", SmpteMidi(), 2500},
    };
    CMciPlayer player(m_layer, m_prompter);
    for (const SCase& c : kCases)
    {
        SCOPED_TRACE(c.pszName);
        const std::string strPath = Put(c.pszName, c.bytes);
        player.Open(strPath, 3);
        EXPECT_EQ(player.GetLength(3), c.fLengthMs);
        player.Close(3);
        EXPECT_TRUE(m_prompter.Lines().empty());
    }
}

TEST_F(CMediaFolder, EachFailureHasItsOwnCodeAndText)
{
    const std::string strWav = Put("good.wav", MakeWav({44100, 1, 16, 4410}));
    const std::string strMid = Put("good.mid", TempoChangeMidi());
    const std::string strGarbageWav = Put("garbage.wav", Garbage());
    const std::string strGarbageMid = Put("garbage.mid", Garbage());
    // The slowest tempo, one tick a quarter, and a track that ends 2^28 quarters later.
    const std::string strDayLong =
        Put("long.mid", MakeMidi(0, 1, {CMidiTrack().Tempo(0, 0xFFFFFF).End(0x0FFFFFFF)}));
    const std::string strFolder = m_folder.File("folder.wav");
    std::filesystem::create_directory(strFolder);
    std::string strReply;
    ASSERT_EQ(m_layer.Send(OpenText(strWav, "waveaudio", "mus1"), strReply), 0);

    struct SCase
    {
        std::string strCommand;
        int nCode;
    };
    const SCase kCases[] = {
        {"", MciError::kMissingCommand},
        {"   ", MciError::kMissingCommand},
        {"frobnicate mus1", MciError::kUnrecognizedCommand},
        {"Close mus9", MciError::kUnknownDevice},
        {"Status mus9 length", MciError::kUnknownDevice},
        {"set mus9 time format milliseconds", MciError::kUnknownDevice},
        {OpenText(strMid, "sequencer", "mus1"), MciError::kDuplicateAlias},
        {OpenText(strMid, "sequencer", "MUS1"), MciError::kDuplicateAlias},
        {OpenText(m_folder.File("missing.wav"), "waveaudio", "mus2"), MciError::kFileNotFound},
        {OpenText(strFolder, "waveaudio", "mus2"), MciError::kFileNotFound},
        {"open \"\" type waveaudio alias mus2", MciError::kFileNotFound},
        {OpenText(strGarbageWav, "waveaudio", "mus2"), MciError::kInvalidFile},
        {OpenText(strGarbageMid, "sequencer", "mus2"), MciError::kInvalidFile},
        {OpenText(strMid, "waveaudio", "mus2"), MciError::kInvalidFile},
        {OpenText(strDayLong, "sequencer", "mus2"), MciError::kInvalidFile},
        {"open \"" + strWav + "\"\" type waveaudio alias mus2", MciError::kNoClosingQuote},
        {OpenText(strWav, "sequencer", "mus2"), MciError::kInvalidFile},
        {OpenText(m_folder.File("clip.avi"), "avivideo", "mus2"), MciError::kDeviceNotInstalled},
        {"open \"" + strWav + " type waveaudio alias mus2", MciError::kNoClosingQuote},
        {"open " + strWav + " alias mus2", MciError::kDeviceTypeRequired},
        {"open " + strWav + " type waveaudio alias", MciError::kMissingArgument},
        {"open " + strWav + " type waveaudio repeat mus2", MciError::kUnrecognizedKeyword},
        {"open", MciError::kMissingParameter},
        {"set mus1 time format bytes", MciError::kBadTimeFormat},
        {"set mus1 time format", MciError::kMissingArgument},
        {"set mus1 speed 2", MciError::kUnrecognizedKeyword},
        {"Status mus1 size", MciError::kUnrecognizedKeyword},
        {"Status mus1", MciError::kMissingParameter},
        {"Close mus1 now", MciError::kUnrecognizedKeyword},
    };
    for (const SCase& c : kCases)
    {
        SCOPED_TRACE(c.strCommand);
        strReply = "left over";
        EXPECT_EQ(m_layer.Send(c.strCommand, strReply), c.nCode);
        EXPECT_EQ(strReply, "");
        EXPECT_FALSE(m_layer.ErrorText(c.nCode).empty());
    }

    // None of the failed opens took mus2, and mus1 is still the file it was.
    EXPECT_EQ(m_layer.Send(OpenText(strMid, "Sequencer", "mus2"), strReply), 0);
    EXPECT_EQ(m_layer.Send("STATUS MUS2 LENGTH", strReply), 0);
    EXPECT_EQ(strReply, "1625");
    EXPECT_EQ(m_layer.Send("status mus1 length", strReply), 0);
    EXPECT_EQ(strReply, "100");

    // The user reads these apart: one text per kind of failure.
    const std::set<std::string> texts = {
        m_layer.ErrorText(MciError::kUnrecognizedCommand), m_layer.ErrorText(MciError::kUnknownDevice),
        m_layer.ErrorText(MciError::kDuplicateAlias),      m_layer.ErrorText(MciError::kFileNotFound),
        m_layer.ErrorText(MciError::kInvalidFile),         m_layer.ErrorText(MciError::kDeviceNotInstalled),
    };
    EXPECT_EQ(texts.size(), 6u);
    EXPECT_EQ(m_layer.ErrorText(12345), "");
}

// Whatever a name holds, the word the player writes is read back as that name.
TEST(MciTokens, AQuotedWordReadsBackAsItWasWritten)
{
    const std::string kWords[] = {
        "plain",       "two words",         "\"",       "\"\"",    "a\"b",    "say \"hi\"",
        "C:\\Music\\", "\\\\server\\share", "Песня №1", "ends\" ", " starts", "",
        "tab\tinside", "\"\"\"three\"\"\"",
    };
    for (const std::string& strWord : kWords)
    {
        SCOPED_TRACE(strWord);
        std::vector<std::string> arrWords;
        ASSERT_EQ(SplitMciCommand("open " + QuoteMciWord(strWord) + " type x", arrWords), 0);
        EXPECT_EQ(arrWords, (std::vector<std::string>{"open", strWord, "type", "x"}));
    }
}

TEST_F(CMediaFolder, CloseFreesTheAlias)
{
    const std::string strWav = Put("a.wav", MakeWav({8000, 1, 8, 800}));
    const std::string strMid = Put("b.mid", TempoChangeMidi());
    std::string strReply;
    ASSERT_EQ(m_layer.Send(OpenText(strWav, "waveaudio", "mus0"), strReply), 0);
    EXPECT_EQ(m_layer.Send("Close mus0", strReply), 0);
    EXPECT_EQ(m_layer.Send("Status mus0 length", strReply), MciError::kUnknownDevice);
    EXPECT_EQ(m_layer.Send("Close mus0", strReply), MciError::kUnknownDevice);

    ASSERT_EQ(m_layer.Send(OpenText(strMid, "sequencer", "mus0"), strReply), 0);
    EXPECT_EQ(m_layer.Send("Status mus0 length", strReply), 0);
    EXPECT_EQ(strReply, "1625");
}

TEST_F(CMediaFolder, AFileThatCannotBeOpenedShowsTheOpenError)
{
    struct SCase
    {
        std::string strPath;
        int nCode;
    };
    const SCase kCases[] = {
        {m_folder.File("missing.wav"), MciError::kFileNotFound},
        {m_folder.File("no such/file.mid"), MciError::kFileNotFound},
        {Put("garbage.wav", Garbage()), MciError::kInvalidFile},
        {Put("garbage.mid", Garbage()), MciError::kInvalidFile},
        {Put("short.mid", {'M', 'T', 'h', 'd', 0, 0}), MciError::kInvalidFile},
        {Put("clip.avi", Garbage()), MciError::kDeviceNotInstalled},
    };
    CMciPlayer player(m_layer, m_prompter);
    for (const SCase& c : kCases)
    {
        SCOPED_TRACE(c.strPath);
        const size_t nBefore = m_prompter.Messages().size();
        player.Open(c.strPath, 6);
        EXPECT_EQ(player.GetLength(6), 0.0f);
        player.Close(6);

        const std::vector<SMessage> messages = m_prompter.Messages();
        ASSERT_EQ(messages.size(), nBefore + 1);
        EXPECT_EQ(messages.back().strCaption, Msg::kMediaOpenErrorCaption);
        EXPECT_EQ(messages.back().strText,
                  std::string(Msg::kMediaOpenError) + "\r\n" + MciErrorText(c.nCode));
        EXPECT_EQ(messages.back().eIcon, EIcon::Error);
    }
}

TEST_F(CMediaFolder, TheProgramsLayerIsOurInterpreter)
{
    const std::string strPath = Put("default.wav", MakeWav({44100, 1, 16, 66150}));
    CManualClock clock;
    CRecorderMidiOut midiOut(clock);
    const std::unique_ptr<IMediaCommands> pLayer = MakeProgramMediaCommands(midiOut, m_audioOut.Factory());
    CMciPlayer player(*pLayer, m_prompter);
    player.Open(strPath, 0);
    EXPECT_EQ(player.GetLength(0), 1500.0f);
    player.Close(0);
    EXPECT_TRUE(m_prompter.Lines().empty());
}

} // namespace
