// The playlist's rows: which files become which kind of row, and how removing a row moves the
// selection and the playing row.
#include "playlist/Playlist.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <sys/stat.h>

namespace
{
TEST(PlaylistTest, TheKindOfARowComesFromItsExtension)
{
    struct SCase
    {
        const char* pPath;
        std::optional<ERowKind> oKind;
    };
    const SCase cases[] = {
        {"/music/song.tgp", ERowKind::Project},
        {"/music/SONG.TGP", ERowKind::Project},
        {"/music/a.b/take.Wav", ERowKind::Wave},
        {"/music/tune.mid", ERowKind::Midi},
        {"/music/tune.MIDI", ERowKind::Midi},
        {"/music/karaoke.kar", ERowKind::Midi},
        {"/music/song.mp3", std::nullopt},
        {"/music/clip.avi", std::nullopt}, // the media player knows it, the playlist does not
        {"/music/noextension", std::nullopt},
        {"/music.tgp/noextension", std::nullopt},
        {"/music/song.tgp~", std::nullopt},
    };
    for (const SCase& c : cases)
        EXPECT_EQ(c.oKind, KindOfPath(c.pPath)) << c.pPath;
}

// A file the desktop opens as a project because of its header is a project whatever its name;
// the name decides first, and nothing but a regular file is read.
TEST(PlaylistTest, AFileWithoutAKnownNameIsAProjectByItsHeader)
{
    CTempFolder folder;
    const std::string strProject = "Tonegrove File Projects 0.1";
    WriteText(folder.File("melody"), strProject + "$\x01");
    WriteText(folder.File("future"), "Tonegrove File Projects 9.9"); // the header's name is enough
    WriteText(folder.File("notes.txt"), strProject);
    WriteText(folder.File("take.wav"), strProject);    // the name decides
    WriteText(folder.File("short"), "Tonegrove File"); // cut off inside the name
    WriteText(folder.File("other"), "tonegrove file projects 0.1");
    WriteText(folder.File("empty"), "");
    ASSERT_EQ(0, mkfifo(folder.File("pipe").c_str(), 0600)); // would block a reader for good
    const struct
    {
        const char* pName;
        std::optional<ERowKind> oKind;
    } cases[] = {
        {"melody", ERowKind::Project},
        {"future", ERowKind::Project},
        {"notes.txt", ERowKind::Project},
        {"take.wav", ERowKind::Wave},
        {"short", std::nullopt},
        {"other", std::nullopt},
        {"empty", std::nullopt},
        {"pipe", std::nullopt},
        {"missing", std::nullopt},
        {"", std::nullopt},
        {"missing.tgp", ERowKind::Project},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.oKind, KindOfFile(folder.File(c.pName))) << c.pName;
}

TEST(PlaylistTest, RemovingARowMovesTheSelectionAndThePlayingRowWithTheRowsAfterIt)
{
    struct SCase
    {
        const char* pName;
        int nSelected, nCurrent, nRemoved;
        int nSelectedAfter, nCurrentAfter;
    };
    const SCase cases[] = {
        {"a row above both", 1, 2, 0, 0, 1}, {"the selected row", 1, 2, 1, -1, 1},
        {"the playing row", 0, 2, 2, 0, -1}, {"a row below both", 0, 1, 3, 0, 1},
        {"no such row", 1, 2, 7, 1, 2},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pName);
        CPlaylist list;
        for (const char* p : {"a.tgp", "b.wav", "c.mid", "d.tgp"})
            list.Add({p, *KindOfPath(p), {}});
        list.Select(c.nSelected);
        list.SetCurrent(c.nCurrent);
        list.Remove(c.nRemoved);
        EXPECT_EQ(c.nSelectedAfter, list.Selected());
        EXPECT_EQ(c.nCurrentAfter, list.Current());
        EXPECT_EQ(c.nRemoved < 4 ? 3 : 4, list.Count());
        // The row after the removed one took its place.
        if (c.nRemoved < 3)
        {
            EXPECT_EQ(c.nRemoved, list.Find(std::string(1, static_cast<char>('b' + c.nRemoved)) +
                                            (c.nRemoved == 0   ? ".wav"
                                             : c.nRemoved == 1 ? ".mid"
                                                               : ".tgp")));
        }
    }
}

TEST(PlaylistTest, EditsMarkARowModifiedAndASaveMakesItTheFilesAgain)
{
    CPlaylist list;
    const int nRow = list.Add({"/p/a.tgp", ERowKind::Project, {1, 2, 3}});
    list.Add({"/p/b.wav", ERowKind::Wave, {}});
    EXPECT_EQ(0, nRow);
    EXPECT_FALSE(list.Row(0).bModified);
    EXPECT_TRUE(list.IsProject(0));
    EXPECT_FALSE(list.IsProject(1));
    EXPECT_FALSE(list.IsProject(2));

    list.SetData(0, {4, 5});
    EXPECT_TRUE(list.Row(0).bModified);
    EXPECT_EQ((std::vector<uint8_t>{4, 5}), list.Row(0).data);
    list.SetSaved(0, "/p/other.tgp");
    EXPECT_FALSE(list.Row(0).bModified);
    EXPECT_EQ(0, list.Find("/p/other.tgp"));
    EXPECT_EQ(-1, list.Find("/p/a.tgp"));

    // A selection or playing row that is no row is none.
    list.Select(5);
    list.SetCurrent(-3);
    EXPECT_EQ(-1, list.Selected());
    EXPECT_EQ(-1, list.Current());
}
} // namespace
