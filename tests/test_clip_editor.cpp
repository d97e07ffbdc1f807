// The Edit menu's engine: the marks, the clipboard, the edits of the selected row, their undo and
// redo, and the row history that keeps them.
#include "playlist/ClipEditor.h"
#include "playlist/Playlist.h"
#include "playlist/Transport.h"
#include "project/ProjectFormat.h"
#include "tests/ProjectFixtures.h"
#include "tests/TestServices.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
using Bytes_t = std::vector<uint8_t>;

TEST(PlaylistHistoryTest, UndoAndRedoWalkARowsVersionsAndASaveInBetweenIsRemembered)
{
    CPlaylist list;
    list.Add({"/p/a.tgp", ERowKind::Project, {1}});
    list.Add({"/p/b.tgp", ERowKind::Project, {9}});
    EXPECT_FALSE(list.CanUndo(0));
    EXPECT_FALSE(list.Undo(0)) << "nothing to undo in a row as it was opened";
    EXPECT_FALSE(list.Undo(7)) << "no such row";

    list.SetData(0, {2});
    list.SetData(0, {3});
    list.SetSaved(0, "/p/a.tgp"); // {3} is now what the file holds
    list.SetData(0, {4});

    struct SStep
    {
        bool bUndo;
        bool bDone;
        int nData;
        bool bModified;
    };
    const SStep steps[] = {
        {true, true, 3, false}, // back to what the file holds
        {true, true, 2, true},  {true, true, 1, true},   {true, false, 1, true}, // as far back as it goes
        {false, true, 2, true}, {false, true, 3, false}, {false, true, 4, true}, {false, false, 4, true},
    };
    for (size_t i = 0; i < std::size(steps); ++i)
    {
        const SStep& s = steps[i];
        EXPECT_EQ(s.bDone, s.bUndo ? list.Undo(0) : list.Redo(0)) << "step " << i;
        EXPECT_EQ(Bytes_t{static_cast<uint8_t>(s.nData)}, list.Row(0).data) << "step " << i;
        EXPECT_EQ(s.bModified, list.Row(0).bModified) << "step " << i;
    }
    EXPECT_EQ(Bytes_t{9}, list.Row(1).data) << "each row has its own history";
    EXPECT_FALSE(list.CanUndo(1));

    // A new edit after undoing drops what was undone.
    list.Undo(0);
    list.SetData(0, {5});
    EXPECT_FALSE(list.CanRedo(0));
    EXPECT_TRUE(list.Undo(0));
    EXPECT_EQ(Bytes_t{3}, list.Row(0).data);

    // A removed row's history goes with it; the row below keeps its own.
    list.SetData(1, {8});
    list.Remove(0);
    EXPECT_TRUE(list.Undo(0));
    EXPECT_EQ(Bytes_t{9}, list.Row(0).data);
}

TEST(RecordAtTimeTest, TheRecordWhoseTimeHasCome)
{
    Bytes_t tones = MakeHeader(1);
    const uint8_t mask[6] = {1, 0, 0, 0, 0, 0};
    AppendEventRecord(tones, 0, 0x7F3C90);
    AppendToneRecord(tones, mask, 300);
    AppendEventRecord(tones, 50, 0x3C80);
    struct SCase
    {
        const char* pName;
        Bytes_t project;
        int64_t nMs;
        int nRecord;
    };
    const SCase cases[] = {
        {"before the first note", OneNoteProject(0), 0, 1},
        {"at the note on", OneNoteProject(0), 100, 1},
        {"just before the note off", OneNoteProject(0), 599, 1},
        {"at the note off", OneNoteProject(0), 600, 2},
        {"past the end", OneNoteProject(1), 100000, 2},
        {"a tone starts when the record before it has sounded", tones, 0, 2},
        {"the record after a tone waits for it", tones, 349, 2},
        {"and comes after it", tones, 350, 3},
        {"no records", MakeHeader(0), 500, 0},
        {"not a project", Bytes({1, 2, 3}), 500, 0},
    };
    for (const SCase& c : cases)
        EXPECT_EQ(c.nRecord, RecordAtTime(c.project, c.nMs)) << c.pName;
}

class CQuietListener : public ITransportListener
{
  public:
    void PlaybackStarting() override {}
    void SelectionMoved(int) override {}
    void CurrentChanged(int) override {}
    void PositionChanged(int) override {}
    void TimeChanged(const std::string&) override {}
    void StateChanged(const STransportState&) override {}
    void TickingChanged(bool) override {}
    void CommandDeferred() override {}
};

class ClipEditorTest : public ::testing::Test, protected CTestServices
{
  protected:
    ClipEditorTest() { settings.DeviceIndex = -1; }

    int AddProject(const Bytes_t& bytes)
    {
        const int nRow = playlist.Add(
            {folder.File("p" + std::to_string(playlist.Count()) + ".tgp"), ERowKind::Project, bytes});
        playlist.Select(nRow);
        return nRow;
    }
    const Bytes_t& Data(int nRow) const { return playlist.Row(nRow).data; }

    CTempFolder folder;
    CPlaylist playlist;
    SServices services = Services();
    CQuietListener listener;
    CTransport transport{playlist, settings, services, listener};
    CClipEditor editor{playlist, transport, prompter};
};

TEST_F(ClipEditorTest, MarksFollowThePositionBarAndTheStatusLineSaysWhatIsSelected)
{
    EXPECT_EQ("", editor.StatusText()) << "no project selected";
    Bytes_t three = MakeHeader(0);
    AppendNoteOnRecord(three, 100, 48, 12, 127, 0);
    AppendNoteOffRecord(three, 500, 48, 12, 0);
    AppendNoteOnRecord(three, 400, 48, 14, 127, 0);
    AddProject(three);
    EXPECT_EQ("Выделено: ничего из 3", editor.StatusText());

    EXPECT_TRUE(editor.Mark(650.0f)) << "the first mark sets the start";
    EXPECT_EQ(2.0f, editor.SelStart());
    EXPECT_EQ("Начало выделения: 2 из 3", editor.StatusText());
    EXPECT_FALSE(editor.Mark(5000.0f)) << "the second sets the end";
    EXPECT_EQ(3.0f, editor.SelEnd());
    EXPECT_EQ("Выделено: 2–3 из 3", editor.StatusText());

    editor.SetSelection(0, 40);
    EXPECT_EQ("Выделено: 1–3 из 3", editor.StatusText()) << "as the edits take the marks";
    editor.SetSelection(3, 2);
    EXPECT_EQ("Выделено: ничего из 3", editor.StatusText());

    editor.SelectAll();
    EXPECT_EQ("Выделено: 1–3 из 3", editor.StatusText());
    ASSERT_TRUE(editor.Delete());
    EXPECT_EQ("Выделено: ничего из 0", editor.StatusText()) << "kept current after the edit";
}

TEST_F(ClipEditorTest, AMarkWhilePlayingTakesTheLastRecordThePlayerSent)
{
    Bytes_t project = MakeHeader(1);
    for (int i = 0; i < 4; ++i)
        AppendEventRecord(project, 1000, 0x7F3C90u + static_cast<uint32_t>(i << 8));
    const int nRow = AddProject(project);
    transport.Command(ETransportCommand::Playback);
    ASSERT_TRUE(transport.Player().m_bPlaying);
    // Records at 1, 2, 3 and 4 s; at 2.5 s the second has sounded and the third is awaited.
    ASSERT_TRUE(clock.AdvanceTo(2500, [&] { return !transport.Player().m_bPlaying; }));
    EXPECT_EQ(nRow, playlist.Current());
    editor.Mark(0.0f); // the bar's time does not count while the row plays
    EXPECT_EQ(2.0f, editor.SelStart());
    transport.Command(ETransportCommand::Stop);
    transport.Shutdown();
    editor.Mark(0.0f);
    EXPECT_EQ(1.0f, editor.SelEnd()) << "stopped, the bar's time is back in charge";
}

TEST_F(ClipEditorTest, CutPasteAndTheirUndoGiveBackEveryByte)
{
    const Bytes_t original = OneNoteProject(1);
    const int nRow = AddProject(original);
    editor.SelectAll();
    ASSERT_TRUE(editor.Cut());
    EXPECT_EQ(MakeHeader(1), Data(nRow)) << "everything cut";
    EXPECT_EQ(16, editor.Clip().m_nLength);
    EXPECT_TRUE(playlist.Row(nRow).bModified);

    // The clip survives any number of pastes.
    ASSERT_TRUE(editor.Paste());
    EXPECT_EQ(original, Data(nRow));
    ASSERT_TRUE(editor.Paste());
    EXPECT_EQ(original.size() + 16, Data(nRow).size());

    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(original, Data(nRow));
    ASSERT_TRUE(editor.Undo());
    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(original, Data(nRow)) << "the cut undone";
    EXPECT_FALSE(playlist.Row(nRow).bModified) << "as the file holds it";
    EXPECT_FALSE(editor.CanUndo());
    ASSERT_TRUE(editor.Redo());
    EXPECT_EQ(MakeHeader(1), Data(nRow));
    EXPECT_TRUE(editor.CanRedo());
    EXPECT_TRUE(prompter.Lines().empty());
}

TEST_F(ClipEditorTest, AFailedCopyEmptiesTheClipboardAndEditsOfAMediaRowDoNothing)
{
    const int nGood = AddProject(OneNoteProject(1));
    editor.SelectAll();
    editor.Copy();
    EXPECT_TRUE(editor.Clip().HasClip());
    EXPECT_FALSE(editor.Copy()) << "a copy never changes the row";

    Bytes_t damaged = OneNoteProject(1);
    damaged.resize(damaged.size() - 1);
    const int nDamaged = AddProject(damaged);
    editor.Copy();
    EXPECT_FALSE(editor.Clip().HasClip());
    EXPECT_FALSE(editor.Paste());
    EXPECT_FALSE(editor.Cut()) << "nothing copied, nothing cut";
    EXPECT_EQ(damaged, Data(nDamaged));

    playlist.Add({folder.File("m.wav"), ERowKind::Wave, {}});
    playlist.Select(playlist.Count() - 1);
    for (bool (CClipEditor::*pEdit)() : {&CClipEditor::Cut, &CClipEditor::Paste, &CClipEditor::Delete,
                                         &CClipEditor::RemoveGaps, &CClipEditor::Undo})
        EXPECT_FALSE((editor.*pEdit)());
    EXPECT_EQ(OneNoteProject(1), Data(nGood));
}
} // namespace
