// The Edit menu's operations on project bytes: what each gives, what it asks and what it says.
#include "project/ClipConvert.h"
#include "project/ProjectPlayer.h"
#include "tests/ProjectFixtures.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace
{
const std::string kDamagedLength = "TGP - файл поврежден, и поэтому проверка его длины невозможна!";
const std::string kDamagedEditing = "TGP - файл поврежден, и поэтому его редактирование невозможно!";
const std::string kFuture =
    "Этот файл возможно создан в будущих версиях Tonegrove, и поэтому не может быть воспроизведен!";
const std::string kBalance =
    "В выделенном участке открытые и закрытые ноты не соответствуют друг другу. Убрать лишнее?";
const std::string kCopyQuestion = "Вопрос о копировании|" + kBalance;
const std::string kEditQuestion = "Вопрос о редактировании|" + kBalance;

// The records of the one-note project.
const std::vector<uint8_t> kOn = Bytes({0x24, 0x01, 0x64, 0x4D, 0x30, 0x0C, 0x7F, 0x00});
const std::vector<uint8_t> kOff = Bytes({0x21, 0x02, 0x01, 0xF4, 0x4D, 0x30, 0x0C, 0x00});
const std::vector<uint8_t> kCloseIt = Bytes({0x21, 0x01, 0x00, 0x4D, 0x30, 0x0C, 0x00});

std::vector<uint8_t> Stream(const std::vector<uint8_t>& project)
{
    return std::vector<uint8_t>(project.begin() + 27, project.end());
}

std::vector<uint8_t> On(int32_t nDelay, uint8_t nBase, uint8_t nKey, uint8_t nVelocity, uint8_t nChannel)
{
    std::vector<uint8_t> out;
    AppendNoteOnRecord(out, nDelay, nBase, nKey, nVelocity, nChannel);
    return out;
}

std::vector<uint8_t> Off(int32_t nDelay, uint8_t nBase, uint8_t nKey, uint8_t nChannel)
{
    std::vector<uint8_t> out;
    AppendNoteOffRecord(out, nDelay, nBase, nKey, nChannel);
    return out;
}

std::vector<uint8_t> Event(int32_t nDelay, uint32_t dwMessage)
{
    std::vector<uint8_t> out;
    AppendEventRecord(out, nDelay, dwMessage);
    return out;
}

std::vector<uint8_t> Tone(int32_t nDuration)
{
    const uint8_t mask[6] = {1, 0, 0, 0, 0, 0};
    std::vector<uint8_t> out;
    AppendToneRecord(out, mask, nDuration);
    return out;
}

std::vector<uint8_t> Settings()
{
    std::vector<uint8_t> out;
    AppendSettingsRecord(out, 440, 100, 1500, 0, 1);
    return out;
}

enum class EOp
{
    Copy,
    Paste,
    Delete,
    RemoveGaps,
    Count,
};

const char* OpName(EOp e)
{
    switch (e)
    {
    case EOp::Copy:
        return "Copy";
    case EOp::Paste:
        return "Paste";
    case EOp::Delete:
        return "Delete";
    case EOp::RemoveGaps:
        return "RemoveGaps";
    case EOp::Count:
        return "Count";
    }
    return "";
}

struct SOutcome
{
    // The new project; for Copy the clip's stream; nothing on failure (or no clip).
    std::optional<std::vector<uint8_t>> bytes;
    int nCount = -1;
    int nClipVersion = -1;
    std::vector<SMessage> messages;
    std::vector<std::string> lines;
};

struct SRun
{
    EOp eOp;
    std::vector<uint8_t> project;
    float fStart = 1;
    float fEnd = 1;
    std::vector<EAnswer> answers = {};
    std::optional<std::vector<uint8_t>> clip = {}; // Paste: the clip's stream...
    int nClipVersion = 0;                          // ...and its version
    int nAfter = 1;
};

SOutcome RunEdit(const SRun& run)
{
    CScriptedPrompter prompter;
    for (EAnswer e : run.answers)
        prompter.Answer(e);
    CProjectPlayer player(prompter);
    player.SetData(run.project);
    player.m_fMarkStart = run.fStart;
    player.m_fMarkEnd = run.fEnd;
    SOutcome outcome;
    switch (run.eOp)
    {
    case EOp::Copy:
        if (std::unique_ptr<CProjectPlayer> pClip = player.Copy())
        {
            outcome.bytes = std::vector<uint8_t>(pClip->Data().begin(), pClip->Data().end());
            outcome.nClipVersion = pClip->m_nVersion;
        }
        break;
    case EOp::Paste:
    {
        CProjectPlayer clip(prompter);
        if (run.clip)
            clip.SetClip(*run.clip, run.nClipVersion);
        outcome.bytes = player.Paste(run.clip ? &clip : nullptr, run.nAfter);
        break;
    }
    case EOp::Delete:
        outcome.bytes = player.Delete();
        break;
    case EOp::RemoveGaps:
        outcome.bytes = player.RemoveGaps();
        break;
    case EOp::Count:
        outcome.nCount = player.CountRecords();
        break;
    }
    outcome.messages = prompter.Messages();
    outcome.lines = prompter.Lines();
    return outcome;
}

// The worked examples of the Edit menu on the one-note project, and the note identity rules.
TEST(ProjectEdit, WorkedExamplesGiveTheseBytesAndQuestions)
{
    const auto one = OneNoteProject(0);
    struct SCase
    {
        const char* pName;
        SRun run;
        std::optional<std::vector<uint8_t>> expected;
        std::vector<std::string> lines;
    };
    const std::vector<SCase> cases = {
        {"select all then copy: 16 bytes, no question", {EOp::Copy, one, 1, 2}, kOn + kOff, {}},
        {"copy the note on, Yes closes it",
         {EOp::Copy, one, 1, 1, {EAnswer::Yes}},
         kOn + kCloseIt,
         {kCopyQuestion}},
        {"copy the note on, No leaves it alone", {EOp::Copy, one, 1, 1, {EAnswer::No}}, kOn, {kCopyQuestion}},
        {"delete the note off, Yes: 42 bytes",
         {EOp::Delete, one, 2, 2, {EAnswer::Yes}},
         MakeHeader(0) + kOn + kCloseIt,
         {kEditQuestion}},
        {"delete the note off, No: 35 bytes",
         {EOp::Delete, one, 2, 2, {EAnswer::No}},
         MakeHeader(0) + kOn,
         {kEditQuestion}},
        {"cut of all leaves the header", {EOp::Delete, one, 1, 2}, MakeHeader(0), {}},
        {"selection 5 to 3 gives no clip", {EOp::Copy, one, 5, 3}, std::nullopt, {}},
        {"selection 5 to 3 deletes nothing", {EOp::Delete, one, 5, 3}, one, {}},
        {"selection past the last record deletes nothing, asks nothing", {EOp::Delete, one, 3, 9}, one, {}},
        {"marks are cut to the records", {EOp::Copy, one, -4, 99}, kOn + kOff, {}},
        {"fractions are dropped", {EOp::Copy, one, 1.9f, 2.9f}, kOn + kOff, {}},
        {"no number at all selects nothing", {EOp::Copy, one, 1, NAN}, std::nullopt, {}},
        {"an end too large for an int is the last record", {EOp::Copy, one, 2, 1e30f}, kOff, {}},
        {"header-only project has nothing to copy", {EOp::Copy, MakeHeader(0), 1, 2}, std::nullopt, {}},
        {"remove gaps 02 01 F4 -> 01 00",
         {EOp::RemoveGaps, MakeHeader(0) + On(500, 48, 12, 127, 0) + kOff},
         MakeHeader(0) + On(0, 48, 12, 127, 0) + kOff,
         {}},
        {"remove gaps again changes nothing",
         {EOp::RemoveGaps, MakeHeader(0) + On(0, 48, 12, 127, 0) + kOff},
         MakeHeader(0) + On(0, 48, 12, 127, 0) + kOff,
         {}},
        {"remove gaps of a first record of another type",
         {EOp::RemoveGaps, MakeHeader(0) + Bytes({'x', 2, 1, 0}) + kOn},
         MakeHeader(0) + Bytes({'x', 1, 0}) + kOn,
         {}},
        {"remove gaps of a header-only project", {EOp::RemoveGaps, MakeHeader(0)}, MakeHeader(0), {}},
        // Identity is base, key and channel, zero bytes included; not the MIDI note number.
        {"channel 0 closes channel 0 only",
         {EOp::Copy,
          MakeHeader(0) + On(1, 48, 12, 127, 0) + On(1, 48, 12, 127, 1) + Off(1, 48, 12, 0),
          1,
          3,
          {EAnswer::Yes}},
         On(1, 48, 12, 127, 0) + On(1, 48, 12, 127, 1) + Off(1, 48, 12, 0) + Off(0, 48, 12, 1),
         {kCopyQuestion}},
        {"all-zero note pairs with all-zero note off",
         {EOp::Copy,
          MakeHeader(0) + On(1, 0, 0, 0, 0) + On(1, 0, 60, 9, 0) + Off(1, 0, 0, 0),
          1,
          3,
          {EAnswer::Yes}},
         On(1, 0, 0, 0, 0) + On(1, 0, 60, 9, 0) + Off(1, 0, 0, 0) + Off(0, 0, 60, 0),
         {kCopyQuestion}},
        {"same MIDI note from another base is another note",
         {EOp::Copy,
          MakeHeader(0) + On(1, 48, 12, 127, 0) + Off(1, 60, 0, 0) + On(1, 50, 1, 127, 0),
          1,
          3,
          {EAnswer::Yes}},
         On(1, 48, 12, 127, 0) + Off(1, 60, 0, 0) + On(1, 50, 1, 127, 0) + Off(0, 48, 12, 0) +
             Off(0, 50, 1, 0),
         {kCopyQuestion}},
        {"open notes close in the order they were opened",
         {EOp::Copy,
          MakeHeader(0) + On(1, 48, 3, 127, 2) + On(1, 48, 1, 127, 0) + On(1, 48, 3, 127, 2),
          1,
          3,
          {EAnswer::Yes}},
         On(1, 48, 3, 127, 2) + On(1, 48, 1, 127, 0) + On(1, 48, 3, 127, 2) + Off(0, 48, 3, 2) +
             Off(0, 48, 1, 0) + Off(0, 48, 3, 2),
         {kCopyQuestion}},
        // A note off before the first note on is not counted, and closes nothing later.
        {"note off before any note on does not balance",
         {EOp::Copy, MakeHeader(0) + Off(1, 48, 12, 0) + On(1, 48, 12, 127, 0), 1, 2, {EAnswer::Yes}},
         Off(1, 48, 12, 0) + On(1, 48, 12, 127, 0) + Off(0, 48, 12, 0),
         {kCopyQuestion}},
        {"a note off too many asks, and Yes removes nothing",
         {EOp::Copy, MakeHeader(0) + kOn + kOff + kOff, 1, 3, {EAnswer::Yes}},
         kOn + kOff + kOff,
         {kCopyQuestion}},
        {"records of another type are copied and not paired",
         {EOp::Copy, MakeHeader(0) + kOn + Bytes({'x', 1, 7}) + kOff, 1, 3},
         kOn + Bytes({'x', 1, 7}) + kOff,
         {}},
    };
    for (const SCase& c : cases)
    {
        const SOutcome outcome = RunEdit(c.run);
        EXPECT_EQ(c.expected, outcome.bytes) << c.pName;
        EXPECT_EQ(c.lines, outcome.lines) << c.pName;
        for (const SMessage& m : outcome.messages)
        {
            EXPECT_EQ(EButtons::YesNo, m.eButtons) << c.pName;
            EXPECT_EQ(EIcon::Warning, m.eIcon) << c.pName;
            EXPECT_FALSE(m.bOwned) << c.pName;
        }
        if (c.run.eOp == EOp::Copy && outcome.bytes)
        {
            EXPECT_EQ(0, outcome.nClipVersion) << c.pName;
        }
    }
    EXPECT_EQ(42u, (MakeHeader(0) + kOn + kCloseIt).size());
}

TEST(ProjectEdit, CountsTheRecordsOfEitherVersion)
{
    const std::pair<std::vector<uint8_t>, int> cases[] = {
        {OneNoteProject(0), 2},
        {OneNoteProject(1), 2},
        {MakeHeader(0), 0},
        {MakeHeader(0) + kOn + Bytes({'x', 1, 7}) + kOff, 3},
        {MakeHeader(1) + Settings() + Tone(100) + Event(5, 0x90), 3},
    };
    for (const auto& [project, nCount] : cases)
    {
        const SOutcome outcome = RunEdit({EOp::Count, project});
        EXPECT_EQ(nCount, outcome.nCount);
        EXPECT_TRUE(outcome.messages.empty());
    }
}

TEST(ProjectEdit, PastePutsTheClipAfterTheMarkedRecord)
{
    // Version 0.1, so that no question comes between the bytes.
    const auto a = Event(1, 0x90), b = Event(2, 0x91), c = Event(3, 0x92), x = Event(9, 0x7F3C90);
    const auto abc = MakeHeader(1) + a + b + c;
    const std::pair<int, std::vector<uint8_t>> cases[] = {
        {-5, MakeHeader(1) + a + x + b + c},        {0, MakeHeader(1) + a + x + b + c},
        {1, MakeHeader(1) + a + x + b + c},         {2, MakeHeader(1) + a + b + x + c},
        {3, MakeHeader(1) + a + b + c + x},         {4, MakeHeader(1) + a + b + c + x},
        {INT32_MAX, MakeHeader(1) + a + b + c + x},
    };
    for (const auto& [nAfter, expected] : cases)
    {
        SRun run{EOp::Paste, abc};
        run.clip = x;
        run.nClipVersion = 1;
        run.nAfter = nAfter;
        const SOutcome outcome = RunEdit(run);
        EXPECT_EQ(expected, outcome.bytes) << nAfter;
        EXPECT_TRUE(outcome.messages.empty()) << nAfter;
    }

    SRun intoEmpty{EOp::Paste, MakeHeader(1)};
    intoEmpty.clip = x + x;
    intoEmpty.nClipVersion = 1;
    intoEmpty.nAfter = 7;
    EXPECT_EQ(MakeHeader(1) + x + x, RunEdit(intoEmpty).bytes) << "an empty stream takes the clip";

    for (const std::optional<std::vector<uint8_t>>& clip :
         {std::optional<std::vector<uint8_t>>{}, std::optional<std::vector<uint8_t>>{std::vector<uint8_t>{}}})
    {
        SRun noClip{EOp::Paste, abc};
        noClip.clip = clip;
        const SOutcome outcome = RunEdit(noClip);
        EXPECT_EQ(abc, outcome.bytes) << "without a clip the project comes back unchanged";
        EXPECT_TRUE(outcome.messages.empty());
    }
}

TEST(ProjectEdit, PasteOfVersion00AsksAboutTheWholeNewStream)
{
    // A lone note on pasted into the one-note project leaves one note open.
    SRun run{EOp::Paste, OneNoteProject(0), 1, 1, {EAnswer::Yes}};
    run.clip = On(7, 40, 2, 90, 3);
    run.nAfter = 2;
    SOutcome outcome = RunEdit(run);
    EXPECT_EQ(OneNoteProject(0) + On(7, 40, 2, 90, 3) + Off(0, 40, 2, 3), outcome.bytes);
    EXPECT_EQ(std::vector<std::string>{kEditQuestion}, outcome.lines);

    run.answers = {EAnswer::No};
    EXPECT_EQ(OneNoteProject(0) + On(7, 40, 2, 90, 3), RunEdit(run).bytes);

    // A whole note pasted between the two records pairs up: no question.
    run.clip = On(7, 40, 2, 90, 3) + Off(8, 40, 2, 3);
    run.nAfter = 1;
    outcome = RunEdit(run);
    EXPECT_EQ(MakeHeader(0) + kOn + On(7, 40, 2, 90, 3) + Off(8, 40, 2, 3) + kOff, outcome.bytes);
    EXPECT_TRUE(outcome.messages.empty());
}

// Version 0.1 events are raw messages: whole records are cut and joined, and nothing is asked.
TEST(ProjectEdit, Version01CutsWholeRecordsWithoutAsking)
{
    const auto one = OneNoteProject(1);
    const auto on = Event(100, 0x7F3C90), off = Event(500, 0x3C80);
    struct SCase
    {
        const char* pName;
        SRun run;
        std::vector<uint8_t> expected;
    };
    const std::vector<SCase> cases = {
        {"copy the note on alone", {EOp::Copy, one, 1, 1}, on},
        {"copy all", {EOp::Copy, one, 0, 5}, on + off},
        {"delete the note off", {EOp::Delete, one, 2, 2}, MakeHeader(1) + on},
        {"delete all", {EOp::Delete, one, 1, 2}, MakeHeader(1)},
        {"delete keeps tone and settings records whole",
         {EOp::Delete, MakeHeader(1) + Settings() + on + Tone(300) + off, 2, 3},
         MakeHeader(1) + Settings() + off},
        {"remove gaps: the first event's delay, past tone and settings",
         {EOp::RemoveGaps, MakeHeader(1) + Settings() + Tone(300) + Event(70000, 0x90) + Event(20, 0x80)},
         MakeHeader(1) + Settings() + Tone(300) + Event(0, 0x90) + Event(20, 0x80)},
        {"remove gaps without an event",
         {EOp::RemoveGaps, MakeHeader(1) + Tone(300)},
         MakeHeader(1) + Tone(300)},
        {"remove gaps of the one-note project",
         {EOp::RemoveGaps, one},
         MakeHeader(1) + Event(0, 0x7F3C90) + off},
    };
    for (const SCase& c : cases)
    {
        const SOutcome outcome = RunEdit(c.run);
        EXPECT_EQ(c.expected, outcome.bytes) << c.pName;
        EXPECT_TRUE(outcome.messages.empty()) << c.pName;
        if (c.run.eOp == EOp::Copy)
        {
            EXPECT_EQ(1, outcome.nClipVersion) << c.pName;
        }
    }
}

// Every failure: its text, caption, icon and owner, and no result.
TEST(ProjectEdit, DamagedProjectsGiveTheirMessageAndNoResult)
{
    auto wrongName = OneNoteProject(0);
    wrongName[0] = 'X';
    auto tooShort = MakeHeader(1);
    tooShort.resize(20);
    auto future = FutureVersionProject(0);
    auto noM = OneNoteProject(0);
    noM[39] = 'X';
    auto cut00 = OneNoteProject(0);
    cut00.pop_back();
    auto noT = OneNoteProject(1);
    noT[39] = 'X';
    const auto noAt = OneNoteProject(1) + Bytes({'*', 0, 0, 0, 0, 0, 0, 'X', 1, 5});
    const auto unknown01 = OneNoteProject(1) + Bytes({'Z', 1, 5});

    const std::string header = "Tonegrove: Ошибка|" + kDamagedLength;
    const std::string futureLine = "Ошибка!|" + kFuture;
    const std::string edit00Play = "Ошибка воспроизведения!|" + kDamagedEditing;
    const std::string edit00 = "Ошибка|" + kDamagedEditing;
    const std::string copy01 = "Внимание!|" + kDamagedLength;
    const std::string edit01 = "Ошибка|" + kDamagedLength;

    struct SCase
    {
        const char* pName;
        std::vector<uint8_t> project;
        // Copy, Paste, Delete, RemoveGaps, Count
        std::string lines[5];
    };
    const SCase cases[] = {
        {"wrong name", wrongName, {header, header, header, header, header}},
        {"shorter than a header", tooShort, {header, header, header, header, header}},
        {"future version", future, {futureLine, futureLine, futureLine, futureLine, futureLine}},
        {"0.0 note without M", noM, {edit00Play, edit00Play, edit00, edit00, edit00Play}},
        {"0.0 record cut short", cut00, {edit00Play, edit00Play, edit00, edit00, edit00Play}},
        {"0.1 event without T", noT, {copy01, edit01, edit01, edit01, edit00Play}},
        {"0.1 tone without @", noAt, {copy01, edit01, edit01, edit01, edit00Play}},
        {"0.1 unknown type byte", unknown01, {copy01, edit01, edit01, edit01, edit00Play}},
    };
    const EOp ops[] = {EOp::Copy, EOp::Paste, EOp::Delete, EOp::RemoveGaps, EOp::Count};
    for (const SCase& c : cases)
    {
        for (int i = 0; i < 5; ++i)
        {
            SRun run{ops[i], c.project, 1, 2};
            run.clip = Stream(OneNoteProject(0));
            const SOutcome outcome = RunEdit(run);
            const std::string where = std::string(c.pName) + ", " + OpName(ops[i]);
            EXPECT_EQ(std::vector<std::string>{c.lines[i]}, outcome.lines) << where;
            EXPECT_FALSE(outcome.bytes.has_value()) << where;
            if (ops[i] == EOp::Count)
            {
                EXPECT_EQ(0, outcome.nCount) << where;
            }
            ASSERT_EQ(1u, outcome.messages.size()) << where;
            const SMessage& m = outcome.messages[0];
            EXPECT_EQ(EIcon::Warning, m.eIcon) << where;
            EXPECT_EQ(EButtons::Ok, m.eButtons) << where;
            // Only Select all's own message belongs to the main window; the header checks have no owner.
            const bool bOwned = ops[i] == EOp::Count && c.lines[i] == edit00Play;
            EXPECT_EQ(bOwned, m.bOwned) << where;
        }
    }
}

TEST(ClipConvert, NotesBecomeEventsAndBack)
{
    struct SCase
    {
        const char* pName;
        int nFrom;
        std::vector<uint8_t> clip;
        std::vector<uint8_t> expected;
        int nLeftOut;
    };
    const std::vector<SCase> cases = {
        {"0.0 note on and off", 0, kOn + kOff, Event(100, 0x7F3C90) + Event(500, 0x3C80), 0},
        {"0.0 channel and signed base", 0, On(3, 0xF6, 70, 64, 9) + Off(4, 0xF6, 70, 9),
         Event(3, 0x403C99) + Event(4, 0x3C89), 0},
        {"0.0 other type passes its delay on", 0, Bytes({'x', 1, 50}) + On(10, 48, 12, 127, 0),
         Event(60, 0x7F3C90), 1},
        {"0.0 note past 127 left out", 0, On(10, 100, 40, 127, 0) + Off(5, 48, 12, 0), Event(15, 0x3C80), 1},
        {"0.0 channel 16 left out", 0, Off(10, 48, 12, 16) + Off(5, 48, 12, 15), Event(15, 0x3C8F), 1},
        {"0.0 velocity past 127 left out", 0, On(10, 48, 12, 200, 0), {}, 1},
        {"0.1 note on", 1, Event(100, 0x7F3C90), On(100, 0, 60, 127, 0), 0},
        {"0.1 note off", 1, Event(500, 0x3C80), Off(500, 0, 60, 0), 0},
        {"0.1 note off with release velocity", 1, Event(5, 0x403C83), Off(5, 0, 60, 3), 0},
        {"0.1 note on at velocity 0 is a note off", 1, Event(5, 0x3C91), Off(5, 0, 60, 1), 0},
        {"0.1 controller passes its delay on", 1, Event(30, 0x4007B0) + Event(20, 0x7F3C90),
         On(50, 0, 60, 127, 0), 1},
        {"0.1 tone passes its duration on", 1, Tone(300) + Event(20, 0x3C80), Off(320, 0, 60, 0), 1},
        {"0.1 settings left out", 1, Settings() + Event(20, 0x3C80), Off(20, 0, 60, 0), 1},
        {"0.1 data byte past 127 left out", 1, Event(20, 0x7FBC90), {}, 1},
        {"time of the records left out at the end has nowhere to go", 1, Event(1, 0x3C80) + Event(9, 0xC0),
         Off(1, 0, 60, 0), 1},
    };
    for (const SCase& c : cases)
    {
        const std::optional<SConvertedClip> converted = ConvertClip(c.clip, c.nFrom, 1 - c.nFrom);
        ASSERT_TRUE(converted.has_value()) << c.pName;
        EXPECT_EQ(c.expected, converted->stream) << c.pName;
        EXPECT_EQ(c.nLeftOut, converted->nLeftOut) << c.pName;
    }

    // The same version comes back as it is, other records and all.
    const auto same = kOn + Bytes({'x', 1, 50});
    EXPECT_EQ(same, ConvertClip(same, 0, 0)->stream);
    EXPECT_EQ(0, ConvertClip(same, 0, 0)->nLeftOut);
    // A clip that does not walk is refused rather than spread into a project.
    EXPECT_FALSE(ConvertClip(Bytes({0x24, 1, 5, 'X'}), 0, 1).has_value());
    EXPECT_FALSE(ConvertClip(Bytes({'Z', 1, 5}), 1, 1).has_value());
}

TEST(ClipConvert, PasteOfTheOtherVersionSaysOnceWhatWasLeftOut)
{
    const std::string leftOut2 =
        "Tonegrove|Часть записей фрагмента нельзя записать в версии формата этого проекта, и "
        "они не вставлены. Пропущено записей: 2";
    // A version 0.1 clip into a version 0.0 project: two controllers left out, their delays kept,
    // and the note on then left open is the usual question.
    SRun run{EOp::Paste, OneNoteProject(0), 1, 1, {EAnswer::Ok, EAnswer::No}};
    run.clip = Event(30, 0x4007B0) + Event(20, 0x7F3C90) + Event(5, 0x4007B0);
    run.nClipVersion = 1;
    run.nAfter = 2;
    SOutcome outcome = RunEdit(run);
    EXPECT_EQ(OneNoteProject(0) + On(50, 0, 60, 127, 0), outcome.bytes);
    EXPECT_EQ((std::vector<std::string>{leftOut2, kEditQuestion}), outcome.lines);
    ASSERT_EQ(2u, outcome.messages.size());
    EXPECT_EQ(EIcon::Information, outcome.messages[0].eIcon);
    EXPECT_EQ(EButtons::Ok, outcome.messages[0].eButtons);

    // A version 0.0 clip into a version 0.1 project: nothing left out, nothing said, no question.
    SRun into01{EOp::Paste, OneNoteProject(1)};
    into01.clip = kOn + kOff;
    into01.nClipVersion = 0;
    into01.nAfter = 2;
    outcome = RunEdit(into01);
    EXPECT_EQ(OneNoteProject(1) + Event(100, 0x7F3C90) + Event(500, 0x3C80), outcome.bytes);
    EXPECT_TRUE(outcome.messages.empty());
}

// Cut as the window does it: Copy, then Delete with the same marks; the clip pastes back.
TEST(ProjectEdit, CutThenPasteRestoresTheProject)
{
    CScriptedPrompter prompter;
    const auto project = MakeHeader(0) + kOn + Off(5, 48, 12, 0) + On(7, 50, 0, 100, 2) + Off(9, 50, 0, 2);
    CProjectPlayer player(prompter);
    player.SetData(project);
    player.m_fMarkStart = 3;
    player.m_fMarkEnd = 4;
    std::unique_ptr<CProjectPlayer> pClip = player.Copy();
    ASSERT_TRUE(pClip);
    std::optional<std::vector<uint8_t>> cut = player.Delete();
    ASSERT_TRUE(cut);
    EXPECT_EQ(MakeHeader(0) + kOn + Off(5, 48, 12, 0), *cut);
    player.SetData(*cut);
    std::optional<std::vector<uint8_t>> pasted = player.Paste(pClip.get(), 2);
    EXPECT_EQ(project, pasted);
    EXPECT_TRUE(prompter.Messages().empty());
    // The source is never changed in place.
    EXPECT_EQ(MakeHeader(0) + kOn + Off(5, 48, 12, 0), *cut);
}
} // namespace
