// tonegrove-cli devices, play and render, run as a user runs them (no sound card: SDL's dummy
// driver, from the test environment).
#include "app/FileHelpers.h"
#include "tests/MediaFixtures.h"
#include "tests/ProjectFixtures.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sys/wait.h>

namespace
{
struct SRun
{
    int nExit;
    std::string strOut;
    std::string strErr;
};

SRun RunShell(const std::string& strScript)
{
    CTempFolder folder;
    const std::string strCommand = "(" + strScript + ") >" + folder.File("out") + " 2>" + folder.File("err");
    const int nStatus = std::system(strCommand.c_str());
    return {WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1, ReadText(folder.File("out")), ReadText(folder.File("err"))};
}

std::string Cli() { return std::getenv("TG_CLI"); }

std::vector<std::string> Lines(const std::string& strText)
{
    std::vector<std::string> out;
    size_t nStart = 0;
    for (size_t nEnd; (nEnd = strText.find('\n', nStart)) != std::string::npos; nStart = nEnd + 1)
        out.push_back(strText.substr(nStart, nEnd - nStart));
    return out;
}

// The left channel of a 16-bit stereo WAV file at 44100 Hz; empty when it is anything else.
std::vector<int16_t> LeftChannel(const std::string& strPath)
{
    const std::vector<uint8_t> bytes = ReadWholeFile(strPath);
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return {};
    auto U16 = [&](size_t n) { return static_cast<uint32_t>(bytes[n] | bytes[n + 1] << 8); };
    auto U32 = [&](size_t n) { return U16(n) | U16(n + 2) << 16; };
    bool bFormatOk = false;
    for (size_t nPos = 12; nPos + 8 <= bytes.size();)
    {
        const uint32_t nSize = U32(nPos + 4);
        const size_t nBody = nPos + 8;
        if (std::memcmp(bytes.data() + nPos, "fmt ", 4) == 0 && nSize >= 16 && nBody + 16 <= bytes.size())
            bFormatOk = U16(nBody) == 1 && U16(nBody + 2) == 2 && U32(nBody + 4) == 44100 && U16(nBody + 14) == 16;
        if (std::memcmp(bytes.data() + nPos, "data", 4) == 0 && bFormatOk)
        {
            std::vector<int16_t> left;
            for (size_t n = nBody; n + 4 <= std::min<size_t>(bytes.size(), nBody + nSize); n += 4)
                left.push_back(static_cast<int16_t>(U16(n)));
            return left;
        }
        nPos = nBody + nSize + (nSize & 1);
    }
    return {};
}

TEST(CliDevices, ListsTheMapperThenTheBuiltInSynthesizerQuietly)
{
    SRun run = RunShell(Cli() + " devices");
    EXPECT_EQ(0, run.nExit);
    const std::vector<std::string> lines = Lines(run.strOut);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ("MIDI Mapper", lines[0]);
    EXPECT_EQ("Tonegrove Synth", lines[1]);
    EXPECT_EQ("", run.strErr) << "no ALSA or RtMidi chatter";
}

// The one-note project rendered, and the same note held a second longer: sound begins on the
// note on's 100 ms and the two files part where the first one's note off lets the note go.
TEST(CliRender, OneNoteStartsAt100MsAndIsReleasedAt600Ms)
{
    CTempFolder folder;
    auto held = MakeHeader(0);
    AppendNoteOnRecord(held, 100, 48, 12, 127, 0);
    AppendNoteOffRecord(held, 1500, 48, 12, 0);
    WriteWholeFile(folder.File("one.tgp"), OneNoteProject(0));
    WriteWholeFile(folder.File("held.tgp"), held);
    for (const char* pName : {"one", "held"})
    {
        SRun run = RunShell(Cli() + " render " + folder.File(std::string(pName) + ".tgp") + " -o " +
                            folder.File(std::string(pName) + ".wav"));
        ASSERT_EQ(0, run.nExit) << run.strErr;
    }
    const std::vector<int16_t> one = LeftChannel(folder.File("one.wav"));
    const std::vector<int16_t> heldOn = LeftChannel(folder.File("held.wav"));
    ASSERT_GT(one.size(), 26460u + 4410u) << "16-bit stereo 44100 Hz, at least 0.7 s";
    ASSERT_GT(heldOn.size(), one.size());

    constexpr size_t kFewMs = 3 * 441 / 10; // 3 ms in frames
    // The synthesizer leaves a hiss of one step of the sample value in the silence.
    const auto itFirst = std::find_if(one.begin(), one.end(), [](int16_t n) { return n > 2 || n < -2; });
    ASSERT_NE(one.end(), itFirst);
    const size_t nStart = static_cast<size_t>(itFirst - one.begin());
    EXPECT_GE(nStart, 4410u);
    EXPECT_LE(nStart, 4410u + kFewMs);

    size_t nPart = 0;
    while (nPart < one.size() && one[nPart] == heldOn[nPart])
        ++nPart;
    EXPECT_GE(nPart, 26460u);
    EXPECT_LE(nPart, 26460u + kFewMs);
}

TEST(CliRender, BadSoundFontOrOutputIsRefused)
{
    CTempFolder folder;
    WriteWholeFile(folder.File("one.tgp"), OneNoteProject(1));
    SRun run = RunShell(Cli() + " render " + folder.File("one.tgp") + " -o " + folder.File("a.wav") +
                        " --soundfont " + folder.File("none.sf2"));
    EXPECT_EQ(1, run.nExit);
    EXPECT_EQ(folder.File("none.sf2") + ": cannot be loaded as a SoundFont\n", run.strErr);
    run = RunShell(Cli() + " render " + folder.File("one.tgp") + " -o " + folder.File("no/such/folder.wav"));
    EXPECT_EQ(1, run.nExit);
    EXPECT_FALSE(FileExists(folder.File("a.wav")));
}

TEST(CliPlay, PlaysToTheEndAndRefusesWhatItCannotPlay)
{
    CTempFolder folder;
    WriteWholeFile(folder.File("one.tgp"), OneNoteProject(1));
    auto damaged = OneNoteProject(0);
    damaged[39] = 'X';
    WriteWholeFile(folder.File("damaged.tgp"), damaged);
    WriteWholeFile(folder.File("song.WAV"), {});

    SRun run = RunShell(Cli() + " play " + folder.File("one.tgp") + " --device -1");
    EXPECT_EQ(0, run.nExit) << run.strErr;
    EXPECT_EQ("\r00:00 / 00:00\n", run.strOut);
    EXPECT_EQ("", run.strErr);

    struct SCase
    {
        std::string strArgs;
        int nExit;
        std::string strErr;
    };
    const SCase cases[] = {
        {"damaged.tgp", 2, "Ошибка: TGP - файл поврежден, и поэтому проверка его длины невозможна!\n"},
        {"song.WAV", 1,
         "При открытии возникла ошибка: Возникла ошибка при открытии, детали ошибки:\r\nУказанный файл не может "
         "быть воспроизведен этим устройством MCI. Возможно, файл поврежден или имеет неверный формат.\n"},
        {"song.WAV --device 7", 1, "there is no MIDI output 7; 'tonegrove-cli devices' lists them from -1 on\n"},
        {"one.tgp --device 7", 1, "there is no MIDI output 7; 'tonegrove-cli devices' lists them from -1 on\n"},
    };
    for (const SCase& c : cases)
    {
        run = RunShell(Cli() + " play " + folder.File(c.strArgs));
        EXPECT_EQ(c.nExit, run.nExit) << c.strArgs;
        EXPECT_EQ(c.strErr, run.strErr) << c.strArgs;
    }
}

// Ctrl+C ends a long project cleanly: the program finishes its own way (its last progress
// line is written) rather than being killed.
TEST(CliPlay, InterruptStopsCleanly)
{
    CTempFolder folder;
    auto project = MakeHeader(0);
    AppendNoteOnRecord(project, 0, 48, 12, 127, 0);
    AppendNoteOffRecord(project, 600000, 48, 12, 0);
    WriteWholeFile(folder.File("long.tgp"), project);
    SRun run = RunShell(Cli() + " play " + folder.File("long.tgp") + " & pid=$!; sleep 1; kill -INT $pid; wait $pid");
    EXPECT_EQ(130, run.nExit);
    // Killed, it would have written nothing; where it got to depends on the machine's pace.
    EXPECT_EQ('\r', run.strOut.front());
    EXPECT_TRUE(run.strOut.ends_with(" / 10:00\n")) << run.strOut;
    EXPECT_EQ("", run.strErr);
}

// WAV and MID files play through the media player, with the same progress line; the last line
// shows the whole length once the file has played to its end.
TEST(CliPlay, PlaysWavAndMidiFilesToTheEnd)
{
    CTempFolder folder;
    WriteBytes(folder.File("a.wav"), MakeWav({22050, 2, 16, 26460})); // 1200 ms
    CMidiTrack track;
    track.Event(0, {0xC0, 0}).Event(0, {0x90, 60, 100}).Event(1150, {0x80, 60, 0}).End(0); // 1198 ms
    WriteBytes(folder.File("a b.mid"), MakeMidi(0, 480, {track}));
    for (const char* pszName : {"a.wav", "'a b.mid'"})
    {
        const SRun run = RunShell(Cli() + " play " + folder.Path() + "/" + pszName);
        EXPECT_EQ(0, run.nExit) << pszName << run.strErr;
        EXPECT_EQ("\r00:01 / 00:01\n", run.strOut) << pszName;
        EXPECT_EQ("", run.strErr) << pszName;
    }
}

TEST(CliPlay, InterruptStopsAWavCleanly)
{
    CTempFolder folder;
    WriteBytes(folder.File("long.wav"), MakeWav({8000, 1, 8, 8000 * 600})); // ten minutes
    SRun run = RunShell(Cli() + " play " + folder.File("long.wav") + " & pid=$!; sleep 1; kill -INT $pid; wait $pid");
    EXPECT_EQ(130, run.nExit);
    EXPECT_EQ('\r', run.strOut.front());
    EXPECT_TRUE(run.strOut.ends_with(" / 10:00\n")) << run.strOut;
    EXPECT_EQ("", run.strErr);
}
} // namespace
