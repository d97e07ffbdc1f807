// Projects exported as Standard MIDI Files and read back with the program's own reader: every
// event at the time and with the bytes the player sends it, and the file as long as the project.
#include "sound/MidiExport.h"

#include "tests/ProjectFixtures.h"
#include "tests/TestSupport.h"

#include "app/Messages.h"
#include "sound/MidiFile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace
{
using Events = std::vector<std::pair<uint32_t, uint32_t>>; // time in ms, message

std::optional<std::vector<uint8_t>> Export(const std::vector<uint8_t>& project, CScriptedPrompter& prompter)
{
    CProjectPlayer player(prompter);
    player.SetData(project);
    return ExportMidiFile(player);
}

int32_t ProjectLength(const std::vector<uint8_t>& project)
{
    CScriptedPrompter prompter;
    CProjectPlayer player(prompter);
    player.SetData(project);
    EXPECT_TRUE(player.ComputeTotal());
    return player.m_nTotal;
}

std::vector<uint8_t> Tone(int32_t nDuration)
{
    std::vector<uint8_t> out;
    const uint8_t mask[6] = {0x01, 0, 0, 0, 0, 0};
    AppendToneRecord(out, mask, nDuration);
    return out;
}

struct SCase
{
    const char* szName;
    std::vector<uint8_t> project;
    Events events;
    uint32_t nLengthMs;
};

std::vector<SCase> Cases()
{
    std::vector<SCase> cases;
    cases.push_back({"one note, version 0.0", OneNoteProject(0), {{100, 0x7F3C90}, {600, 0x3C80}}, 600});
    cases.push_back({"one note, version 0.1", OneNoteProject(1), {{100, 0x7F3C90}, {600, 0x3C80}}, 600});
    {
        // Program change (one data byte: what stands past it is not the message's), pitch bend,
        // controller, channel pressure, on other channels.
        std::vector<uint8_t> p = MakeHeader(1);
        AppendEventRecord(p, 0, 0x7705C1);
        AppendEventRecord(p, 10, 0x4000E1);
        AppendEventRecord(p, 20, 0x7F07B2, kNoteOff);
        AppendEventRecord(p, 0, 0x33D3);
        cases.push_back({"program, pitch bend, controller, pressure",
                         p,
                         {{0, 0x05C1}, {10, 0x4000E1}, {30, 0x7F07B2}, {30, 0x33D3}},
                         30});
    }
    {
        // A tone moves what follows it by its duration; settings take no time; a tone at the end
        // still makes the project longer.
        std::vector<uint8_t> p = MakeHeader(1);
        AppendEventRecord(p, 100, 0x7F3C90);
        p = p + Tone(250);
        AppendSettingsRecord(p, 440, 10, 500, 0, 1);
        AppendEventRecord(p, 50, 0x3C80);
        p = p + Tone(300);
        cases.push_back({"tone records take their time", p, {{100, 0x7F3C90}, {400, 0x3C80}}, 700});
    }
    {
        // A version 0.0 record of another type is only its delay.
        std::vector<uint8_t> p = MakeHeader(0);
        AppendNoteOnRecord(p, 100, 48, 12, 100, 3);
        p = p + Bytes({0x22, 0x01, 0xC8});
        cases.push_back({"an open note is closed at the end", p, {{100, 0x643C93}, {300, 0x3C83}}, 300});
    }
    {
        // Struck twice, closed once, with the sustain pedal left down: one note off and the pedal
        // let go, at the end.
        std::vector<uint8_t> p = MakeHeader(1);
        AppendEventRecord(p, 0, 0x7F40B0);
        AppendEventRecord(p, 10, 0x503090);
        AppendEventRecord(p, 10, 0x503090);
        AppendEventRecord(p, 10, 0x003090); // velocity 0: a note off
        AppendEventRecord(p, 70, 0x402A90);
        AppendEventRecord(p, 5, 0x2A80);
        cases.push_back({"open notes and a held pedal are let go at the end",
                         p,
                         {{0, 0x7F40B0},
                          {10, 0x503090},
                          {20, 0x503090},
                          {30, 0x003090},
                          {100, 0x402A90},
                          {105, 0x2A80},
                          {105, 0x3080},
                          {105, 0x40B0}},
                         105});
    }
    {
        // 70000 ms is a three-byte delta time, 3 000 000 ms a four-byte one.
        std::vector<uint8_t> p = MakeHeader(0);
        AppendNoteOnRecord(p, 70000, 60, 0, 90, 0);
        AppendNoteOffRecord(p, 3000000, 60, 0, 0);
        cases.push_back({"long delays", p, {{70000, 0x5A3C90}, {3070000, 0x3C80}}, 3070000});
    }
    cases.push_back({"header only, version 0.0", MakeHeader(0), {}, 0});
    cases.push_back({"header only, version 0.1", MakeHeader(1), {}, 0});
    {
        // What the player would send as no note of the record's own is left out; its delay stays.
        // A negative base with a key that brings the note back into range is a note as sent.
        std::vector<uint8_t> p = MakeHeader(0);
        AppendNoteOnRecord(p, 10, 60, 0, 100, 16);  // channel 16 would be an aftertouch message
        AppendNoteOnRecord(p, 10, 100, 28, 100, 0); // note 128
        AppendNoteOnRecord(p, 10, 60, 0, 0x80, 0);  // velocity -128
        AppendNoteOffRecord(p, 10, 0xFF, 0, 0);     // note -1
        AppendNoteOnRecord(p, 10, 0xF4, 72, 64, 1); // base -12, key 72: note 60
        AppendNoteOffRecord(p, 10, 0xF4, 72, 1);
        cases.push_back({"version 0.0 records out of range", p, {{50, 0x403C91}, {60, 0x3C81}}, 60});
    }
    {
        // Data bytes, system messages and data above 127 have no place in a track.
        std::vector<uint8_t> p = MakeHeader(1);
        AppendEventRecord(p, 10, 0x7F3C);   // no status
        AppendEventRecord(p, 10, 0xF8);     // timing clock
        AppendEventRecord(p, 10, 0xFF);     // system reset
        AppendEventRecord(p, 10, 0x7FBC90); // note 188
        AppendEventRecord(p, 10, 0x803C90); // velocity 128
        AppendEventRecord(p, 10, 0x80C0);   // program 128
        AppendEventRecord(p, 10, 0x7F3C90); // kept
        AppendEventRecord(p, 10, 0x413C80); // kept: a note off's velocity is its own
        cases.push_back(
            {"version 0.1 events that are no channel message", p, {{70, 0x7F3C90}, {80, 0x413C80}}, 80});
    }
    {
        // A type byte version 0.1 does not know ends the project there, as it ends playing.
        std::vector<uint8_t> p = MakeHeader(1);
        AppendEventRecord(p, 100, 0x7F3C90);
        p = p + Bytes({0x22, 0x01, 0x64});
        AppendEventRecord(p, 100, 0x3C80);
        cases.push_back({"an unknown record ends the project", p, {{100, 0x7F3C90}, {100, 0x3C80}}, 100});
    }
    return cases;
}

TEST(MidiExport, ReadBackGivesEveryEventAtItsTimeAndTheProjectsLength)
{
    for (const SCase& c : Cases())
    {
        SCOPED_TRACE(c.szName);
        CScriptedPrompter prompter;
        const std::optional<std::vector<uint8_t>> file = Export(c.project, prompter);
        ASSERT_TRUE(file);
        EXPECT_TRUE(prompter.Lines().empty());

        SMidiFile midi;
        std::string strError;
        ASSERT_TRUE(ReadMidiFile(*file, midi, strError)) << strError;
        EXPECT_EQ(0, midi.nFormat);
        EXPECT_EQ(1, midi.nTracks);
        EXPECT_EQ(500, midi.nDivision);
        ASSERT_EQ(1u, midi.tempoMap.size());
        EXPECT_EQ(500000u, midi.tempoMap[0].nUsPerQuarter);

        Events events;
        for (const SMidiEvent& e : midi.events)
        {
            EXPECT_EQ(0u, e.nTimeUs % 1000) << "one tick is one millisecond";
            events.emplace_back(e.TimeMs(), e.dwMessage);
        }
        EXPECT_EQ(c.events, events);
        EXPECT_EQ(c.nLengthMs, midi.nLengthMs);
        EXPECT_EQ(ProjectLength(c.project), static_cast<int32_t>(midi.nLengthMs));
    }
}

// The bytes themselves: every status byte written (no running status, so that the note off after
// a note on still carries its own), the delta times as the fewest bytes, the end at the last time.
TEST(MidiExport, WritesTheExpectedBytes)
{
    const std::vector<uint8_t> head = Bytes({'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xF4});
    const std::vector<uint8_t> tempo = Bytes({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});
    const std::vector<uint8_t> end = Bytes({0xFF, 0x2F, 0x00});

    std::vector<uint8_t> twoOns = MakeHeader(1);
    AppendEventRecord(twoOns, 0, 0x403C90);
    AppendEventRecord(twoOns, 200, 0x403E90);
    AppendEventRecord(twoOns, 0, 0x3C80);
    AppendEventRecord(twoOns, 0, 0x3E80);
    // A silence past what a four-byte delta time holds (0x0FFFFFFF) is bridged by an empty text event.
    std::vector<uint8_t> longSilence = MakeHeader(0);
    AppendNoteOnRecord(longSilence, 0x10000004, 60, 0, 1, 0);
    AppendNoteOffRecord(longSilence, 0, 60, 0, 0);

    const std::pair<std::vector<uint8_t>, std::vector<uint8_t>> cases[] = {
        {MakeHeader(0), Bytes({'M', 'T', 'r', 'k', 0, 0, 0, 0x0B}) + tempo + Bytes({0x00}) + end},
        {OneNoteProject(0), Bytes({'M', 'T', 'r', 'k', 0, 0, 0, 0x14}) + tempo +
                                Bytes({0x64, 0x90, 0x3C, 0x7F, 0x83, 0x74, 0x80, 0x3C, 0x00, 0x00}) + end},
        {twoOns, Bytes({'M', 'T', 'r', 'k', 0, 0, 0, 0x1C}) + tempo +
                     Bytes({0x00, 0x90, 0x3C, 0x40, 0x81, 0x48, 0x90, 0x3E, 0x40, 0x00, 0x80, 0x3C, 0x00,
                            0x00, 0x80, 0x3E, 0x00, 0x00}) +
                     end},
        {longSilence, Bytes({'M', 'T', 'r', 'k', 0, 0, 0, 0x1A}) + tempo +
                          Bytes({0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x01, 0x00, 0x05, 0x90, 0x3C, 0x01, 0x00, 0x80,
                                 0x3C, 0x00, 0x00}) +
                          end},
    };
    for (const auto& [project, track] : cases)
    {
        CScriptedPrompter prompter;
        const std::optional<std::vector<uint8_t>> file = Export(project, prompter);
        ASSERT_TRUE(file);
        EXPECT_EQ(head + track, *file);
    }
}

TEST(MidiExport, DamagedAndFutureProjectsGiveNothingAndTheirMessage)
{
    std::vector<uint8_t> damagedMarker = OneNoteProject(0);
    damagedMarker[39] = 'X';
    std::vector<uint8_t> cutShort = OneNoteProject(1);
    cutShort.pop_back();
    std::vector<uint8_t> future = FutureVersionProject(1);
    const std::string strRecord = std::string(Msg::kDamagedRecordCaption) + "|" + Msg::kDamagedLength;
    const std::pair<std::vector<uint8_t>, std::string> cases[] = {
        {damagedMarker, strRecord},
        {cutShort, strRecord},
        {future, std::string(Msg::kFutureVersionCaption) + "|" + Msg::kFutureVersion},
        {Bytes({'T', 'o', 'n', 'e'}), std::string(Msg::kDamagedHeaderCaption) + "|" + Msg::kDamagedLength},
    };
    for (const auto& [project, strLine] : cases)
    {
        SCOPED_TRACE(strLine);
        CScriptedPrompter prompter;
        EXPECT_FALSE(Export(project, prompter));
        EXPECT_EQ(std::vector<std::string>{strLine}, prompter.Lines());
    }
}
} // namespace
