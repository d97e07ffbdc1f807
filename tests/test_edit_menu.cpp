// The main window's Edit menu: the selection line, the selection mark's text, the edits of the
// selected row with their lengths, undo and redo, and the export of a project as a MIDI file.
#include "app/FileHelpers.h"
#include "mainwnd/CommandIds.h"
#include "mainwnd/TonegroveDlg.h"
#include "platform/sdl/SdlAudioOut.h"
#include "sound/MidiFile.h"
#include "sound/ProgramOutputs.h"
#include "tests/MediaFixtures.h"
#include "tests/ProjectFixtures.h"
#include "tests/TestServices.h"

#include <QAction>
#include <QLabel>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace
{
class EditMenuTest : public ::testing::Test, protected CTestServices
{
  protected:
    std::unique_ptr<CTonegroveDlg> MakeWindow(const std::vector<std::string>& arrPaths)
    {
        return MakeWindowAsking(prompter, arrPaths);
    }
    std::unique_ptr<CTonegroveDlg> MakeWindowAsking(IPrompter& asker,
                                                    const std::vector<std::string>& arrPaths)
    {
        return std::make_unique<CTonegroveDlg>(
            settings, SServices{asker, reg.Store(), midiOut, clock, *m_pMedia, {}, {}, {}, {}}, arrPaths,
            music.File("Tonegrove"));
    }
    std::string Put(const std::string& strName, const std::vector<uint8_t>& bytes)
    {
        std::string strPath = folder.File(strName);
        EXPECT_TRUE(WriteWholeFile(strPath, bytes));
        return strPath;
    }
    static std::string Status(const CTonegroveDlg& dlg) { return dlg.EditStatus()->text().toStdString(); }
    static std::string MarkText(const CTonegroveDlg& dlg)
    {
        return dlg.MenuAction(Cmd::SelectionMark)->text().section('\t', 0, 0).toStdString();
    }

    CSharedSdlAudioOut m_audioOut;
    std::unique_ptr<IMediaCommands> m_pMedia = MakeProgramMediaCommands(midiOut, m_audioOut.Factory());
    CTempFolder folder;
    CTempFolder music;
};

TEST_F(EditMenuTest, MarksEditsAndUndoShowInTheMenuTheStatusLineAndTheRow)
{
    std::vector<uint8_t> original = MakeHeader(0);
    AppendNoteOnRecord(original, 100, 48, 12, 127, 0);
    AppendNoteOffRecord(original, 2400, 48, 12, 0);
    auto dlg = MakeWindow({Put("one.tgp", original), Put("tune.wav", MakeWav({.nFrames = 4410}))});
    dlg->ClickRow(0);
    EXPECT_EQ("Выделено: ничего из 2", Status(*dlg));
    EXPECT_FALSE(dlg->IsToolEnabled(Cmd::TbUndo));

    // F2 twice: the item names the mark that comes next.
    dlg->OnCommand(Cmd::SelectionMark);
    EXPECT_EQ("Конец отметки выделения", MarkText(*dlg));
    EXPECT_EQ("Начало выделения: 1 из 2", Status(*dlg));
    dlg->OnCommand(Cmd::SelectionMark);
    EXPECT_EQ("Отметка выделения", MarkText(*dlg));
    EXPECT_EQ("Выделено: 1–1 из 2", Status(*dlg));

    // Cut of everything: the note and its note off go together, nothing is asked.
    dlg->OnCommand(Cmd::SelectAll);
    EXPECT_EQ("Выделено: 1–2 из 2", Status(*dlg));
    dlg->OnCommand(Cmd::TbCut);
    EXPECT_EQ(MakeHeader(0), dlg->RowData(0));
    EXPECT_EQ("00:00", dlg->RowText(0, 1)) << "the length measured again";
    EXPECT_EQ("Выделено: ничего из 0", Status(*dlg));
    EXPECT_TRUE(dlg->IsToolEnabled(Cmd::TbUndo));
    EXPECT_TRUE(dlg->HasUnsavedProjects());

    dlg->OnCommand(Cmd::TbUndo);
    EXPECT_EQ(original, dlg->RowData(0));
    EXPECT_EQ("00:02", dlg->RowText(0, 1));
    EXPECT_FALSE(dlg->HasUnsavedProjects());
    EXPECT_TRUE(dlg->IsMenuEnabled(Cmd::TbRedo));
    dlg->OnCommand(Cmd::TbRedo);
    EXPECT_EQ(MakeHeader(0), dlg->RowData(0));
    dlg->OnCommand(Cmd::Paste);
    EXPECT_EQ(original, dlg->RowData(0)) << "the cut records come back from the clipboard";

    // A media row: nothing to select, undo or export.
    dlg->ClickRow(1);
    EXPECT_EQ("", Status(*dlg));
    EXPECT_FALSE(dlg->IsToolEnabled(Cmd::TbUndo));
    EXPECT_FALSE(dlg->IsMenuEnabled(Cmd::ExportMidi));
    EXPECT_EQ(std::vector<std::string>{}, prompter.Lines());
}

// Runs something of the test's while a question is on screen, as a key pressed under the box.
class CPrompterWithKeys : public CScriptedPrompter
{
  public:
    EAnswer Ask(const SMessage& message) override
    {
        if (fUnderTheBox)
            std::exchange(fUnderTheBox, nullptr)();
        return CScriptedPrompter::Ask(message);
    }
    std::function<void()> fUnderTheBox;
};

TEST_F(EditMenuTest, AnEditAskedUnderTheQuestionOfAnotherWaitsForIt)
{
    CPrompterWithKeys asker;
    const std::vector<uint8_t> original = OneNoteProject(0);
    auto dlg = MakeWindowAsking(asker, {Put("one.tgp", original)});
    dlg->ClickRow(0);
    // Record 1 alone leaves its note open: the copy asks, and Ctrl+X and Del come under the box.
    dlg->OnCommand(Cmd::SelectionMark);
    dlg->OnCommand(Cmd::SelectionMark);
    asker.fUnderTheBox = [&]
    {
        dlg->OnCommand(Cmd::Cut);
        dlg->OnCommand(Cmd::Delete);
    };
    asker.Answer(EAnswer::Yes);
    dlg->OnCommand(Cmd::Copy);
    ASSERT_EQ(1u, asker.Messages().size());
    EXPECT_EQ("Вопрос о копировании", asker.Messages()[0].strCaption);
    EXPECT_EQ(original, dlg->RowData(0)) << "nothing was cut under the question";
    EXPECT_FALSE(dlg->IsToolEnabled(Cmd::TbUndo));
    EXPECT_EQ(15, dlg->Editor().Clip().m_nLength) << "the note on and the note off that closes it";
}

TEST_F(EditMenuTest, ExportWritesAMidiFileOfTheProjectsNotesAndAsksBeforeReplacing)
{
    auto dlg = MakeWindow({Put("one.tgp", OneNoteProject(1))});
    dlg->ClickRow(0);
    ASSERT_TRUE(dlg->IsMenuEnabled(Cmd::ExportMidi));

    const std::string strOut = folder.File("out.mid");
    prompter.AnswerPath(folder.File("out")); // the extension is added
    dlg->OnCommand(Cmd::ExportMidi);
    EXPECT_EQ("savefile:Экспорт в MIDI|" + folder.File("one.mid"), prompter.m_dialogs.back());
    SReadStatus status;
    const std::vector<uint8_t> file = ReadWholeFile(strOut, status);
    ASSERT_GT(file.size(), 14u);
    EXPECT_EQ("MThd", std::string(file.begin(), file.begin() + 4));

    // The same name again: the completed name exists, and No keeps it.
    ASSERT_TRUE(WriteWholeFile(strOut, std::vector<uint8_t>{1, 2, 3}));
    prompter.AnswerPath(folder.File("out"));
    prompter.Answer(EAnswer::No);
    dlg->OnCommand(Cmd::ExportMidi);
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3}), ReadWholeFile(strOut, status));
    ASSERT_EQ(1u, prompter.Messages().size());
    EXPECT_NE(std::string::npos, prompter.Messages()[0].strText.find(strOut));
}
} // namespace
