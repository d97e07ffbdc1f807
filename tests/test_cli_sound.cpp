// tonegrove-cli devices, play and render, run as a user runs them (no sound card: the test
// environment names SDL's dummy driver, and the program plays on its own clock-paced stream).
#include "app/FileHelpers.h"
#include "tests/CliRun.h"
#include "tests/MediaFixtures.h"
#include "tests/ProjectFixtures.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sys/wait.h>

namespace
{
std::string Cli()
{
    return std::getenv("TG_CLI");
}

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
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return {};
    auto U16 = [&](size_t n) { return static_cast<uint32_t>(bytes[n] | bytes[n + 1] << 8); };
    auto U32 = [&](size_t n) { return U16(n) | U16(n + 2) << 16; };
    bool bFormatOk = false;
    for (size_t nPos = 12; nPos + 8 <= bytes.size();)
    {
        const uint32_t nSize = U32(nPos + 4);
        const size_t nBody = nPos + 8;
        if (std::memcmp(bytes.data() + nPos, "fmt ", 4) == 0 && nSize >= 16 && nBody + 16 <= bytes.size())
            bFormatOk =
                U16(nBody) == 1 && U16(nBody + 2) == 2 && U32(nBody + 4) == 44100 && U16(nBody + 14) == 16;
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
    EXPECT_EQ("-1 MIDI Mapper", lines[0]) << "numbered as the setting and --device count";
    EXPECT_EQ("0 Tonegrove Synth", lines[1]);
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
    auto damaged = DamagedOneNoteProject(0);
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
         "При открытии возникла ошибка: Возникла ошибка при открытии, детали ошибки:\r\nУказанный файл не "
         "может "
         "быть воспроизведен этим устройством MCI. Возможно, файл поврежден или имеет неверный формат.\n"},
        {"song.WAV --device 7", 1,
         "there is no MIDI output 7; 'tonegrove-cli devices' lists them from -1 on\n"},
        {"one.tgp --device 7", 1,
         "there is no MIDI output 7; 'tonegrove-cli devices' lists them from -1 on\n"},
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
    SRun run = RunShell(Cli() + " play " + folder.File("long.tgp") +
                        " & pid=$!; sleep 1; kill -INT $pid; wait $pid");
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
    for (const char* pszName : {"a b.mid", "a.midi", "a.KAR"})
        WriteBytes(folder.File(pszName), MakeMidi(0, 480, {track}));
    for (const char* pszName : {"a.wav", "'a b.mid'", "a.midi", "a.KAR"})
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
    SRun run = RunShell(Cli() + " play " + folder.File("long.wav") +
                        " & pid=$!; sleep 1; kill -INT $pid; wait $pid");
    EXPECT_EQ(130, run.nExit);
    EXPECT_EQ('\r', run.strOut.front());
    EXPECT_TRUE(run.strOut.ends_with(" / 10:00\n")) << run.strOut;
    EXPECT_EQ("", run.strErr);
}
// The peak of a rendered file's left channel in dBFS.
double PeakDbfs(const std::vector<int16_t>& left)
{
    int nPeak = 1;
    for (int16_t n : left)
        nPeak = std::max(nPeak, std::abs(static_cast<int>(n)));
    return 20.0 * std::log10(nPeak / 32768.0);
}

// The built-in synthesizer plays about as loud as ordinary sound files: one loud note peaks near
// -10 dBFS, and a loud chord on several instruments still does not reach full scale.
TEST(CliRender, ALoudNotePeaksNearMinus10DbfsAndADenseChordDoesNotClip)
{
    CTempFolder folder;
    auto one = MakeHeader(1);
    AppendEventRecord(one, 0, 0x7F3C90);
    AppendEventRecord(one, 1000, 0x3C80);
    auto chord = MakeHeader(1);
    const uint32_t arrPrograms[] = {0, 48, 61, 19}; // piano, strings, brass, organ
    for (uint32_t nChannel = 0; nChannel < 4; ++nChannel)
        AppendEventRecord(chord, 0, 0xC0 | nChannel | arrPrograms[nChannel] << 8);
    for (uint32_t nChannel = 0; nChannel < 4; ++nChannel)
        for (uint32_t nKey : {36u, 48u, 55u, 60u, 64u, 67u, 72u, 76u})
            AppendEventRecord(chord, 0, 0x7F0090 | nChannel | nKey << 8);
    AppendEventRecord(chord, 2000, 0x7BB0);
    WriteWholeFile(folder.File("one.tgp"), one);
    WriteWholeFile(folder.File("chord.tgp"), chord);
    for (const char* pName : {"one", "chord"})
    {
        const SRun run = RunShell(Cli() + " render " + folder.File(std::string(pName) + ".tgp") + " -o " +
                                  folder.File(std::string(pName) + ".wav"));
        ASSERT_EQ(0, run.nExit) << run.strErr;
    }
    const double fOne = PeakDbfs(LeftChannel(folder.File("one.wav")));
    EXPECT_GT(fOne, -13.0);
    EXPECT_LT(fOne, -7.0);
    const std::vector<int16_t> chordLeft = LeftChannel(folder.File("chord.wav"));
    ASSERT_FALSE(chordLeft.empty());
    EXPECT_LT(PeakDbfs(chordLeft), -0.1) << "32 loud notes at once must not clip";
}

// A MID file renders through the same synthesizer: sound where its note is, silence before.
TEST(CliRender, RendersAMidiFile)
{
    CTempFolder folder;
    CMidiTrack track;
    track.Event(0, {0xC0, 0}).Event(96, {0x90, 60, 127}).Event(384, {0x80, 60, 0}).End(480); // 100 ms .. 1 s
    for (const std::string strName : {"a.mid", "b.MIDI", "c.kar"})
    {
        SCOPED_TRACE(strName);
        WriteBytes(folder.File(strName), MakeMidi(0, 480, {track}));
        const std::string strWav = folder.File(strName + ".wav");
        const SRun run = RunShell(Cli() + " render " + folder.File(strName) + " -o " + strWav);
        ASSERT_EQ(0, run.nExit) << run.strErr;
        const std::vector<int16_t> left = LeftChannel(strWav);
        ASSERT_GE(left.size(), 44100u) << "at least the file's own second";
        const auto itFirst =
            std::find_if(left.begin(), left.end(), [](int16_t n) { return n > 2 || n < -2; });
        ASSERT_NE(left.end(), itFirst);
        EXPECT_GE(itFirst - left.begin(), 4410);
        EXPECT_LE(itFirst - left.begin(), 4410 + 132);
    }

    WriteBytes(folder.File("bad.mid"), {'M', 'T', 'h', 'd'});
    const SRun bad = RunShell(Cli() + " render " + folder.File("bad.mid") + " -o " + folder.File("b.wav"));
    EXPECT_EQ(2, bad.nExit);
    EXPECT_NE("", bad.strErr);
}

// SIGTERM or Ctrl+C in a long render: it stops, the WAV file's header counts what was written,
// and the exit code names the signal.
TEST(CliRender, ASignalStopsTheRenderWithAWholeFile)
{
    CTempFolder folder;
    auto project = MakeHeader(0);
    AppendNoteOnRecord(project, 0, 48, 12, 127, 0);
    AppendNoteOffRecord(project, 3 * 3600 * 1000, 48, 12, 0); // three hours: minutes of work
    WriteWholeFile(folder.File("long.tgp"), project);
    for (const auto& [strSignal, nExit] : {std::pair<std::string, int>{"TERM", 143}, {"INT", 130}})
    {
        SCOPED_TRACE(strSignal);
        const std::string strWav = folder.File(strSignal + ".wav");
        const SRun run =
            RunShell(Cli() + " render " + folder.File("long.tgp") + " -o " + strWav +
                     " & pid=$!; i=0; while [ $(stat -c %s " + strWav +
                     " 2>/dev/null || echo 0) -lt 1000000 ] && [ $i -lt 400 ] && kill -0 $pid; do "
                     "sleep 0.05; i=$((i+1)); done; kill -" +
                     strSignal + " $pid; wait $pid");
        EXPECT_EQ(nExit, run.nExit) << run.strErr;
        EXPECT_NE(std::string::npos, run.strErr.find("stopped")) << run.strErr;
        const std::vector<uint8_t> bytes = ReadWholeFile(strWav);
        ASSERT_GT(bytes.size(), 44u);
        const std::vector<int16_t> left = LeftChannel(strWav);
        EXPECT_EQ(bytes.size() - 44, left.size() * 4) << "the header counts every frame written";
        EXPECT_GT(left.size(), 44100u);
    }
}

// A SoundFont that cannot be loaded: the system's General MIDI SoundFont plays instead, and the
// user is told once which one failed and why.
TEST(CliPlay, ABadSoundFontFallsBackAndSaysSoOnce)
{
    CTempFolder folder;
    WriteWholeFile(folder.File("one.tgp"), OneNoteProject(1));
    for (const std::string& strFont :
         std::vector<std::string>{"/nonexistent.sf2", "/etc/passwd", folder.Path()})
    {
        SCOPED_TRACE(strFont);
        const SRun run = RunShell("TONEGROVE_SOUNDFONT=" + strFont + " " + Cli() + " play " +
                                  folder.File("one.tgp") + " --device -1");
        EXPECT_EQ(0, run.nExit) << run.strErr;
        EXPECT_EQ(1u, Lines(run.strErr).size()) << run.strErr;
        EXPECT_NE(std::string::npos, run.strErr.find("\"" + strFont + "\" cannot be loaded")) << run.strErr;
        EXPECT_EQ(std::string::npos, run.strErr.find("MIDI-устройств")) << "the synthesizer plays";
    }
}

TEST(CliInfo, WavAndMidiFilesGiveTheirKindAndLength)
{
    CTempFolder folder;
    WriteBytes(folder.File("a.wav"), MakeWav({22050, 2, 16, 26460})); // 1200 ms
    CMidiTrack track;
    track.Event(0, {0x90, 60, 100}).Event(1150, {0x80, 60, 0}).End(0); // 1197.9 ms
    WriteBytes(folder.File("bad.wav"), {'R', 'I', 'F', 'F'});
    SRun run = RunShell(Cli() + " info " + folder.File("a.wav"));
    EXPECT_EQ(0, run.nExit) << run.strErr;
    EXPECT_EQ("file: " + folder.File("a.wav") + "\nkind: WAV\nduration_ms: 1200\n", run.strOut);
    // Every name a MIDI file goes by, in any letter case.
    for (const char* pszName : {"a.MID", "a.midi", "a.Kar"})
    {
        WriteBytes(folder.File(pszName), MakeMidi(0, 480, {track}));
        run = RunShell(Cli() + " info " + folder.File(pszName));
        EXPECT_EQ(0, run.nExit) << pszName << run.strErr;
        EXPECT_EQ("file: " + folder.File(pszName) +
                      "\nkind: MIDI\nformat: 0\ntracks: 1\nevents: 2\nduration_ms: 1197\n",
                  run.strOut);
    }
    run = RunShell(Cli() + " info " + folder.File("bad.wav"));
    EXPECT_EQ(2, run.nExit);
    EXPECT_EQ(folder.File("bad.wav") + ": not a WAV file that can be played\n", run.strErr);
}
} // namespace

// A tone rendered by the command line, checked sample by sample against the oscillator's formula
// computed here: the 8-bit samples reach the file as (x - 128) x 256 on both channels, for
// exactly the tone's duration, and silence follows.
TEST(CliRender, ATonesSamplesReachTheFileUnchanged)
{
    CTempFolder folder;
    auto project = MakeHeader(1);
    AppendSettingsRecord(project, 440, 1, 1000, 0, 0); // formula "A", "Sin", volume 1
    const uint8_t voice11[6] = {0, 0x08, 0, 0, 0, 0};  // an octave up: 880 Hz
    AppendToneRecord(project, voice11, 250);
    WriteWholeFile(folder.File("tone.tgp"), project);
    SRun run = RunShell(Cli() + " render " + folder.File("tone.tgp") + " -o " + folder.File("tone.wav"));
    ASSERT_EQ(0, run.nExit) << run.strErr;
    const std::vector<int16_t> left = LeftChannel(folder.File("tone.wav"));
    ASSERT_GE(left.size(), 11025u);

    const double w = static_cast<double>(440.0f * 6.2831855f / 44100.0f) * 2.0;
    const double dStep3 = static_cast<float>(w);
    size_t nOff = 0;
    for (size_t n = 0; n < 11025; ++n)
    {
        const double p1 = static_cast<double>(n) * w, p3 = static_cast<double>(n) * dStep3;
        const float x = static_cast<float>(std::cos(2.0 * std::sin(p3 + std::cos(p3 - 2.9 * std::sin(p1)))));
        const int nSample = static_cast<int>(std::clamp((x + 1.0f) * 128.0f, 0.0f, 255.0f));
        const int nGot = left[n] / 256 + 128;
        ASSERT_EQ(0, left[n] % 256) << "sample " << n << " is not an 8-bit sample";
        ASSERT_LE(std::abs(nGot - nSample), 1) << "sample " << n;
        nOff += nGot != nSample;
    }
    // The phases are summed sample by sample, here multiplied: a step now and then at a rounding edge.
    EXPECT_LT(nOff, 11025u / 200);
    EXPECT_TRUE(std::all_of(left.begin() + 11025, left.end(), [](int16_t n) { return n == 0; }))
        << "nothing after the tone";
}
