// tonegrove-cli export-midi, run as a user runs it: the file it writes read back with the
// program's MIDI reader, and what it does with projects and paths it cannot use.
#include "tests/CliRun.h"
#include "tests/ProjectFixtures.h"
#include "tests/TestSupport.h"

#include "app/FileHelpers.h"
#include "app/Messages.h"
#include "sound/MidiFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sys/wait.h>

namespace
{
// A version 0.1 melody with a tone in it and a note left open: a file of more than one note
// whose length is not the time of its last message.
std::vector<uint8_t> OpenNoteProject()
{
    std::vector<uint8_t> p = OneNoteProject(1);
    AppendEventRecord(p, 250, 0x644090);
    const uint8_t mask[6] = {0, 0, 1, 0, 0, 0};
    AppendToneRecord(p, mask, 400);
    return p;
}

TEST(CliExportMidi, WritesAFileTheReaderAndInfoReadAsTheProject)
{
    CTempFolder folder;
    struct SCase
    {
        std::vector<uint8_t> project;
        std::vector<std::pair<uint32_t, uint32_t>> events;
        uint32_t nLengthMs;
    };
    const SCase cases[] = {
        {OneNoteProject(0), {{100, 0x7F3C90}, {600, 0x3C80}}, 600},
        {OneNoteProject(1), {{100, 0x7F3C90}, {600, 0x3C80}}, 600},
        {OpenNoteProject(), {{100, 0x7F3C90}, {600, 0x3C80}, {850, 0x644090}, {1250, 0x4080}}, 1250},
    };
    for (const SCase& c : cases)
    {
        const std::string strIn = folder.File("song.tgp"), strOut = folder.File("song out.mid");
        WriteWholeFile(strIn, c.project);
        const SRun run = RunCli("export-midi " + strIn + " -o '" + strOut + "'");
        ASSERT_EQ(0, run.nExit) << run.strErr;
        EXPECT_EQ("", run.strErr);

        SMidiFile midi;
        std::string strError;
        ASSERT_TRUE(ReadMidiFile(strOut, midi, strError)) << strError;
        std::vector<std::pair<uint32_t, uint32_t>> events;
        for (const SMidiEvent& e : midi.events)
            events.emplace_back(e.TimeMs(), e.dwMessage);
        EXPECT_EQ(c.events, events);
        EXPECT_EQ(c.nLengthMs, midi.nLengthMs);

        // info measures the file as it measures the project.
        const SRun info = RunCli("info " + strIn + " '" + strOut + "'");
        EXPECT_EQ(0, info.nExit) << info.strErr;
        const std::string strLength = "duration_ms: " + std::to_string(c.nLengthMs) + "\n";
        const size_t nFirst = info.strOut.find(strLength);
        ASSERT_NE(std::string::npos, nFirst) << info.strOut;
        EXPECT_NE(std::string::npos, info.strOut.find(strLength, nFirst + 1)) << info.strOut;
        EXPECT_NE(std::string::npos, info.strOut.find("kind: MIDI\n")) << info.strOut;
    }
    // The temporary file it wrote through is gone.
    EXPECT_EQ((std::vector<std::string>{"song out.mid", "song.tgp"}),
              [&]
              {
                  auto names = FilesInFolder(folder.Path());
                  std::sort(names.begin(), names.end());
                  return names;
              }());
}

TEST(CliExportMidi, WhatCannotBeExportedLeavesTheOutputAsItWas)
{
    CTempFolder folder;
    std::vector<uint8_t> damaged = DamagedOneNoteProject(0);
    std::vector<uint8_t> future = FutureVersionProject(1);
    WriteWholeFile(folder.File("damaged.tgp"), damaged);
    WriteWholeFile(folder.File("future.tgp"), future);
    WriteWholeFile(folder.File("song.tgp"), OneNoteProject(0));
    WriteWholeFile(folder.File("song.mid"), Bytes({'o', 'l', 'd'}));

    const std::string strMissingFolder = folder.File("no such folder/out.mid");
    struct SCase
    {
        std::string strIn, strOut;
        int nExit;
        std::string strErr;
    };
    const SCase cases[] = {
        {"damaged.tgp", "new.mid", 2,
         std::string(Msg::kDamagedRecordCaption) + ": " + Msg::kDamagedLength + "\n"},
        {"damaged.tgp", "song.mid", 2,
         std::string(Msg::kDamagedRecordCaption) + ": " + Msg::kDamagedLength + "\n"},
        {"future.tgp", "new.mid", 2,
         std::string(Msg::kFutureVersionCaption) + ": " + Msg::kFutureVersion + "\n"},
        {"missing.tgp", "new.mid", 1, folder.File("missing.tgp") + ": No such file or directory\n"},
        {"song.mid", "new.mid", 1,
         folder.File("song.mid") + ": a MID file is no project; export-midi takes projects\n"},
        {"song.tgp", "song.tgp", 1,
         folder.File("song.tgp") + ": this is the project itself; the MIDI file needs a name of its own\n"},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.strIn + " -> " + c.strOut);
        const SRun run = RunCli("export-midi " + folder.File(c.strIn) + " -o " + folder.File(c.strOut));
        EXPECT_EQ(c.nExit, run.nExit);
        EXPECT_EQ(c.strErr, run.strErr);
        EXPECT_EQ("", run.strOut);
        EXPECT_FALSE(FileExists(folder.File("new.mid")));
        EXPECT_EQ(Bytes({'o', 'l', 'd'}), ReadWholeFile(folder.File("song.mid")));
        EXPECT_EQ(OneNoteProject(0), ReadWholeFile(folder.File("song.tgp")));
    }

    // A folder that is not there cannot take the file: the system's reason, and exit 1.
    const SRun run = RunCli("export-midi " + folder.File("song.tgp") + " -o '" + strMissingFolder + "'");
    EXPECT_EQ(1, run.nExit);
    EXPECT_EQ(strMissingFolder + ": No such file or directory\n", run.strErr);
    EXPECT_NE(0, RunCli("export-midi " + folder.File("song.tgp")).nExit) << "no output is a usage error";
}
} // namespace
