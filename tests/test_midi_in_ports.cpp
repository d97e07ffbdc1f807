// The MIDI input's backends: which bytes make a message the program is handed, how a port's name
// is matched when the sequencer numbers it anew, and a system without inputs.
#include "platform/MidiIn.h"
#include "platform/null/NullMidiIn.h"
#include "platform/rtmidi/RtMidiIn.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <vector>

namespace
{
TEST(MidiInPorts, OnlyWholeChannelVoiceMessagesComeThrough)
{
    struct SCase
    {
        std::vector<unsigned char> bytes;
        std::optional<uint32_t> message;
    };
    const SCase cases[] = {
        {{0x93, 0x3C, 0x64}, 0x643C93},     // note on
        {{0x80, 0x3C, 0x00}, 0x3C80},       // note off
        {{0xB5, 0x40, 0x7F}, 0x7F40B5},     // sustain pedal
        {{0xC2, 0x05}, 0x05C2},             // program change: two bytes
        {{0xD0, 0x30}, 0x30D0},             // channel pressure
        {{0xE0, 0x00, 0x40}, 0x4000E0},     // pitch bend
        {{0xC2, 0x05, 0x99}, 0x05C2},       // a stray byte after a two-byte message
        {{0x90, 0x3C}, std::nullopt},       // cut short
        {{0x90, 0x80, 0x40}, std::nullopt}, // a data byte of 128
        {{0x3C, 0x40}, std::nullopt},       // no status
        {{0xF0, 0x7E, 0xF7}, std::nullopt}, // system exclusive
        {{0xF8}, std::nullopt},             // clock
        {{0xFE}, std::nullopt},             // active sensing
        {{0xF2, 0x00, 0x10}, std::nullopt}, // song position
        {{}, std::nullopt},
    };
    for (const SCase& c : cases)
        EXPECT_EQ(c.message, ChannelVoiceMessage(c.bytes.data(), c.bytes.size())) << c.bytes.size();
}

TEST(MidiInPorts, ThePortsBaseNameDropsTheSequencersNumbersOnly)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Keystation 49:Keystation 49 MIDI 1 24:0", "Keystation 49:Keystation 49 MIDI 1"},
        {"Midi Through:Midi Through Port-0 14:0", "Midi Through:Midi Through Port-0"},
        {"Piano 2", "Piano 2"},
        {"Piano 2:3 20:0", "Piano 2:3"}, // only the last pair of numbers
        {"Piano a:0", "Piano a:0"},
        {"Piano 2: ", "Piano 2: "},
        {"", ""},
    };
    for (const auto& [pszName, pszBase] : cases)
        EXPECT_EQ(pszBase, MidiPortBaseName(pszName)) << pszName;
}

TEST(MidiInPorts, ASystemWithoutInputsListsAndOpensNone)
{
    const FMidiInMessage fIgnore = [](uint32_t) {};
    CNullMidiIn none;
    EXPECT_TRUE(none.PortNames().empty());
    EXPECT_EQ(nullptr, none.Open("Keystation 49", fIgnore));
    EXPECT_TRUE(MidiInNames({}).empty());

    if (std::filesystem::exists("/dev/snd/seq"))
        GTEST_SKIP() << "this machine has an ALSA sequencer";
    testing::internal::CaptureStderr();
    CRtMidiIn rtMidi;
    EXPECT_TRUE(rtMidi.PortNames().empty());
    EXPECT_EQ(nullptr, rtMidi.Open("Keystation 49", fIgnore));
    EXPECT_EQ("", testing::internal::GetCapturedStderr()) << "nothing reaches the console";
}
} // namespace
