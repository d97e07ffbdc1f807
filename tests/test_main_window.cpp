// The main window under the offscreen platform: commands driven by id, dialogs by script.
#include "app/FileHelpers.h"
#include "app/Messages.h"
#include "app/Settings.h"
#include "lang/Translate.h"
#include "mainwnd/CommandIds.h"
#include "mainwnd/TonegroveApp.h"
#include "mainwnd/TonegroveDlg.h"
#include "platform/sdl/SdlAudioOut.h"
#include "sound/ProgramOutputs.h"
#include "tests/ProjectFixtures.h"
#include "tests/TestServices.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace
{
const std::string kNotSaved = "Ошибка!|Файл не сохранен!";

// A canonical 16-bit mono WAV of the given frames.
std::vector<uint8_t> Wav(int nRate, int nFrames)
{
    auto le = [](std::vector<uint8_t>& v, uint32_t n, int nBytes)
    {
        for (int i = 0; i < nBytes; ++i)
            v.push_back(static_cast<uint8_t>(n >> (8 * i)));
    };
    std::vector<uint8_t> v = {'R', 'I', 'F', 'F'};
    uint32_t nData = static_cast<uint32_t>(nFrames) * 2;
    le(v, 36 + nData, 4);
    for (char c : std::string("WAVEfmt "))
        v.push_back(static_cast<uint8_t>(c));
    le(v, 16, 4);
    le(v, 1, 2);
    le(v, 1, 2);
    le(v, static_cast<uint32_t>(nRate), 4);
    le(v, static_cast<uint32_t>(nRate) * 2, 4);
    le(v, 2, 2);
    le(v, 16, 2);
    for (char c : std::string("data"))
        v.push_back(static_cast<uint8_t>(c));
    le(v, nData, 4);
    v.resize(v.size() + nData, 0);
    return v;
}

// Every row's path, as the playlist holds it.
std::vector<std::string> Paths(const CTonegroveDlg& dlg)
{
    std::vector<std::string> arr;
    for (int i = 0; i < dlg.Playlist().Count(); ++i)
        arr.push_back(dlg.Playlist().Row(i).strPath);
    return arr;
}

// A project of one note whose length is given.
std::vector<uint8_t> ProjectOfLength(int32_t nMs)
{
    auto p = MakeHeader(1);
    AppendEventRecord(p, 0, 0x7F3C90);
    AppendEventRecord(p, nMs, 0x3C80);
    return p;
}

// The doubles, but the program's own media commands: the playlist measures real WAV and MID
// files.
class MainWindowTest : public ::testing::Test, protected CTestServices
{
  protected:
    std::unique_ptr<CTonegroveDlg> MakeWindow(const std::vector<std::string>& arrPaths = {})
    {
        SServices services{prompter, reg.Store(), midiOut, clock, *m_pMedia, {}, {}, {}, {}};
        services.dataFolder = data.Path();
        return std::make_unique<CTonegroveDlg>(settings, services, arrPaths, ProjectDir());
    }
    // The window's data folder (help pages, key pictures), as main() hands it.
    CTempFolder data;
    // The window's folder for new projects, made by the window when it first needs it.
    std::string ProjectDir() const { return music.File("Tonegrove"); }
    std::string Put(const std::string& strName, const std::vector<uint8_t>& bytes)
    {
        std::string strPath = folder.File(strName);
        EXPECT_TRUE(WriteWholeFile(strPath, bytes));
        return strPath;
    }
    void Open(CTonegroveDlg& dlg, const std::string& strPath)
    {
        prompter.AnswerPath(strPath);
        dlg.OnCommand(Cmd::Open);
    }

    CSharedSdlAudioOut m_audioOut;
    std::unique_ptr<IMediaCommands> m_pMedia = MakeProgramMediaCommands(midiOut, m_audioOut.Factory());
    CTempFolder folder;
    CTempFolder music;
};

TEST_F(MainWindowTest, MenusAndToolbarAreComplete)
{
    auto dlg = MakeWindow();
    std::vector<std::string> menus;
    for (QAction* pMenu : dlg->findChild<QMenuBar*>()->actions())
    {
        std::string strMenu = pMenu->text().toStdString() + ":";
        for (QAction* p : pMenu->menu()->actions())
            strMenu += p->isSeparator()
                           ? " |"
                           : " " + p->text().toStdString() + "=" + p->data().toString().toStdString();
        menus.push_back(strMenu);
    }
    EXPECT_EQ(
        (std::vector<std::string>{
            "Файл: Новый\tCtrl+N=1017 Открыть\tCtrl+O=1018 Открыть из папки=32774 Сохранить\tCtrl+S=1019 "
            "Сохранить как...=32777 Сохранить все=32780 Экспорт в MIDI...=32810 Закрыть=32781 | "
            "Настройки\tCtrl+T=1030 | Выход=32784",
            "Правка: Отменить\tCtrl+Z=1004 Повторить\tCtrl+Y=1005 | Вырезать\tCtrl+X=1022 "
            "Копировать\tCtrl+C=1023 Вставить\tCtrl+V=1024 Удалить\tDel=1025 "
            "Убрать пустоты\tCtrl+P=32792 | Отметка выделения\tF2=32793 | Выделить все\tCtrl+A=32794",
            "Музыка: Играть\tF3=1029 Воспроизведение\tF4=1026 Стоп\tF5=1028 Пауза\tF6=1027 | "
            "Выключить все ноты\tPause=32820",
            "Помощь: Вызов сравки\tF1=32802 О программе...=32803",
        }),
        menus);

    std::string strButtons;
    for (QAction* p : dlg->findChild<QToolBar*>()->actions())
    {
        strButtons += p->isSeparator() ? "| " : p->data().toString().toStdString() + " ";
        if (!p->isSeparator())
            EXPECT_FALSE(p->icon().isNull()) << p->data().toInt();
    }
    // A button and its menu item are one action, which carries the menu's command.
    EXPECT_EQ("1017 1018 1019 | 1004 1005 | 1022 1023 1024 1025 | 1026 1027 1028 1029 | 1030 ", strButtons);
    for (int nId : {Cmd::TbNew, Cmd::TbOpen, Cmd::TbSave, Cmd::TbCut, Cmd::TbCopy, Cmd::TbPaste,
                    Cmd::TbDelete, Cmd::TbPlayback, Cmd::TbPause, Cmd::TbStop, Cmd::TbPlay, Cmd::TbSettings})
        EXPECT_EQ(dlg->MenuAction(Cmd::CommandOfButton(nId)), dlg->ToolAction(nId)) << nId;
    EXPECT_NE(dlg->ToolAction(Cmd::TbUndo), dlg->ToolAction(Cmd::TbRedo));
    for (QAction* p : dlg->findChild<QToolBar*>()->actions())
    {
        if (!p->isSeparator())
            EXPECT_EQ(std::string::npos, p->toolTip().toStdString().find('\t')) << "a tip without the key";
    }
    for (int nId : {Cmd::New, Cmd::Open, Cmd::Save, Cmd::Cut, Cmd::Copy, Cmd::Paste, Cmd::Delete,
                    Cmd::Playback, Cmd::Pause, Cmd::Stop, Cmd::Play, Cmd::Settings})
        EXPECT_FALSE(dlg->MenuAction(nId)->icon().isNull()) << nId;

    // Before any row: no transport, the list waits, nothing to undo.
    EXPECT_FALSE(dlg->List()->isEnabled());
    for (int nId : {Cmd::TbPlayback, Cmd::TbPause, Cmd::TbStop, Cmd::TbPlay, Cmd::TbUndo, Cmd::TbRedo})
        EXPECT_FALSE(dlg->IsToolEnabled(nId)) << nId;
    EXPECT_EQ(dlg->MenuAction(Cmd::TbUndo), dlg->ToolAction(Cmd::TbUndo)) << "the menu item is the button";
    EXPECT_TRUE(dlg->OnCommand(Cmd::TbRedo));
    EXPECT_EQ(0, dlg->RowCount());
    EXPECT_EQ("Tonegrove 1.0", dlg->windowTitle().toStdString());
    EXPECT_EQ("0:00", dlg->TimeLabel()->text().toStdString());
    EXPECT_EQ(100, dlg->PositionBar()->maximum());
}

TEST_F(MainWindowTest, SizeFromDialogUnitsAndResizingRules)
{
    auto dlg = MakeWindow();
    QRect client = dlg->DialogUnitsToPixels(QRect(0, 0, 385, 202));
    EXPECT_EQ(client.size(), dlg->Client()->size());
    EXPECT_EQ(dlg->DialogUnitsToPixels(QRect(7, 19, 367, 133)), dlg->List()->geometry());

    dlg->show();
    const int nBar = dlg->PositionBar()->height();
    const int nLabel = dlg->TimeLabel()->width();
    const int nMenu = dlg->height() - dlg->Client()->height();
    for (QSize size : {QSize(800, 500), QSize(640, 300), QSize(120, 200)})
    {
        dlg->resize(size.width(), size.height() + nMenu);
        QCoreApplication::processEvents();
        const int W = dlg->Client()->width(), H = dlg->Client()->height();
        EXPECT_EQ(QRect(0, 38, W - 40, H - 80 - nBar), dlg->List()->geometry()) << W << "x" << H;
        EXPECT_EQ(QRect(0, H - 80 - nBar + 70, W - nLabel, nBar), dlg->PositionBar()->geometry()) << W;
        EXPECT_EQ(QPoint(W - nLabel + 20, H - 80 - nBar + 70), dlg->TimeLabel()->pos()) << W;
    }
}

TEST_F(MainWindowTest, NewNamesProjectsInTheProjectFolder)
{
    auto dlg = MakeWindow();
    EXPECT_FALSE(std::filesystem::exists(ProjectDir())) << "made on first use only";
    const std::string strFirst = ProjectDir() + "/Melody1.tgp";
    dlg->OnCommand(Cmd::New);
    settings.ProjectType = 0;
    dlg->OnCommand(Cmd::TbNew);
    settings.ProjectType = 7;
    dlg->OnCommand(Cmd::New);
    EXPECT_TRUE(std::filesystem::is_directory(ProjectDir()));
    ASSERT_EQ(3, dlg->RowCount());
    EXPECT_EQ(strFirst, dlg->RowText(0, 0));
    EXPECT_EQ(ProjectDir() + "/Melody2.tgp", dlg->RowText(1, 0));
    EXPECT_EQ("", dlg->RowText(0, 1));
    EXPECT_EQ(MakeHeader(1), dlg->RowData(0));
    EXPECT_EQ(MakeHeader(0), dlg->RowData(1));
    EXPECT_TRUE(dlg->RowData(2).empty());
    EXPECT_TRUE(dlg->Playlist().IsProject(0)) << "a new row can be played into";
    EXPECT_EQ(2, dlg->SelectedRow());
    EXPECT_TRUE(dlg->List()->isEnabled());
    EXPECT_TRUE(dlg->IsToolEnabled(Cmd::TbPlay));
    EXPECT_TRUE(dlg->IsToolEnabled(Cmd::TbPlayback));
    EXPECT_FALSE(dlg->IsToolEnabled(Cmd::TbStop));
    EXPECT_FALSE(std::filesystem::exists(strFirst)) << "New only names a project";

    dlg->ClickRow(0);
    dlg->OnCommand(Cmd::SaveAll);
    EXPECT_EQ("Tonegrove File Projects 0.1", ReadText(strFirst));
    EXPECT_EQ("Tonegrove File Projects 0.0", ReadText(ProjectDir() + "/Melody2.tgp"));
    // The third row has no bytes: an empty file, no error.
    EXPECT_EQ(0, FileSize(ProjectDir() + "/Melody3.tgp"));
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(MainWindowTest, NewTakesNoNameOfAFileOrARowAndSavesNeverReplaceOthersFilesUnasked)
{
    // An earlier session left Melody1.tgp and a link Melody3.tgp that points nowhere; this
    // window has a row Melody2.tgp whose file has gone since it was opened.
    std::filesystem::create_directories(ProjectDir());
    const std::string strOld = ProjectDir() + "/Melody1.tgp";
    WriteWholeFile(strOld, OneNoteProject(0));
    std::filesystem::create_symlink(folder.File("nowhere"), ProjectDir() + "/Melody3.tgp");
    const std::string strGone = ProjectDir() + "/Melody2.tgp";
    WriteWholeFile(strGone, MakeHeader(1));
    auto dlg = MakeWindow({strGone});
    std::filesystem::remove(strGone);

    dlg->OnCommand(Cmd::New);
    const std::string strNew = ProjectDir() + "/Melody4.tgp";
    ASSERT_EQ(strNew, dlg->RowText(1, 0));
    EXPECT_FALSE(dlg->HasUnsavedProjects()) << "an empty new row has nothing to save";

    // Meanwhile another session saves its own Melody4.tgp.
    WriteWholeFile(strNew, OneNoteProject(1));
    EXPECT_FALSE(dlg->HasUnsavedProjects()) << "someone else's file says nothing about the new row";

    // Save all asks before replacing it; No keeps it. Save shows the dialog instead of writing.
    prompter.Answer(EAnswer::No);
    dlg->OnCommand(Cmd::SaveAll);
    EXPECT_EQ(OneNoteProject(1), ReadWholeFile(strNew));
    ASSERT_EQ(1u, prompter.Messages().size());
    EXPECT_EQ(EButtons::YesNo, prompter.Messages()[0].eButtons);
    EXPECT_NE(std::string::npos, prompter.Messages()[0].strText.find(strNew));
    dlg->ClickRow(1);
    dlg->OnCommand(Cmd::Save); // the dialog, cancelled
    EXPECT_EQ("save:Сохранить файл", prompter.m_dialogs.back());
    EXPECT_EQ(OneNoteProject(1), ReadWholeFile(strNew));
    EXPECT_EQ(OneNoteProject(0), ReadWholeFile(strOld));

    // The exit question's Да asks too; Да there replaces it, and from then on it is the row's.
    prompter.Answer(EAnswer::Yes);
    prompter.Answer(EAnswer::Yes);
    dlg->OnCommand(Cmd::SaveAll);
    EXPECT_EQ(MakeHeader(1), ReadWholeFile(strNew));
    const size_t nAsked = prompter.Messages().size();
    dlg->OnCommand(Cmd::SaveAll);
    dlg->OnCommand(Cmd::Save);
    EXPECT_EQ(nAsked, prompter.Messages().size()) << "the row's own file is written without asking";
    EXPECT_EQ(OneNoteProject(0), ReadWholeFile(strOld));
}

TEST_F(MainWindowTest, OpenAddsKnownTypesOnceWithTheirLengths)
{
    const std::string strProject = Put("tune.tgp", ProjectOfLength(65000));
    const std::string strWav = Put("song.WAV", Wav(8000, 8000 * 3 + 4000));
    const std::string strAvi = Put("film.avi", {1, 2, 3});
    auto dlg = MakeWindow();
    Open(*dlg, strProject);
    EXPECT_EQ("open:" + ProjectDir(), prompter.m_dialogs.back())
        << "the first Open starts in the project folder";
    EXPECT_TRUE(std::filesystem::is_directory(ProjectDir()));
    Open(*dlg, strWav);
    EXPECT_EQ("open:" + folder.Path() + "/", prompter.m_dialogs.back());
    Open(*dlg, strProject);
    Open(*dlg, strAvi);
    dlg->OnCommand(Cmd::Open); // cancelled
    ASSERT_EQ(2, dlg->RowCount());
    EXPECT_EQ("01:05", dlg->RowText(0, 1));
    EXPECT_EQ(ERowKind::Project, dlg->Playlist().Row(0).eKind);
    EXPECT_EQ(ProjectOfLength(65000), dlg->RowData(0));
    EXPECT_TRUE(dlg->Playlist().IsProject(0));
    EXPECT_FALSE(dlg->Playlist().Row(0).bModified) << "as its file holds it";
    EXPECT_EQ("00:03", dlg->RowText(1, 1));
    EXPECT_EQ(ERowKind::Wave, dlg->Playlist().Row(1).eKind);
    EXPECT_FALSE(dlg->Playlist().IsProject(1));
    EXPECT_EQ((std::vector<std::string>{strProject, strWav}), Paths(*dlg));
    EXPECT_TRUE(prompter.Messages().empty());

    // Open folder finds the rest, and skips what is already there.
    Put("b.mid", {});
    std::filesystem::create_directory(folder.File("sub.tgp"));
    prompter.AnswerPath(folder.Path());
    dlg->OnCommand(Cmd::OpenFolder);
    ASSERT_EQ(3, dlg->RowCount());
    EXPECT_EQ(folder.File("b.mid"), dlg->RowText(2, 0));
}

TEST_F(MainWindowTest, OpenNamesTheFileItCannotReadAndTheDamagedProjectItAdds)
{
    auto dlg = MakeWindow();
    const std::string strGone = folder.File("gone.tgp");
    Open(*dlg, strGone);
    EXPECT_EQ(0, dlg->RowCount()) << "nothing to hold: an empty row saved later would replace the file";
    ASSERT_EQ(1u, prompter.Messages().size());
    EXPECT_NE(std::string::npos, prompter.Messages()[0].strText.find(strGone + ": "));
    EXPECT_EQ(std::string::npos, prompter.Messages()[0].strText.find("поврежден"));

    const std::string strDamaged = Put("damaged.tgp", {'x', 'y', 'z'});
    Open(*dlg, strDamaged);
    ASSERT_EQ(1, dlg->RowCount());
    EXPECT_EQ("00:00", dlg->RowText(0, 1));
    ASSERT_EQ(2u, prompter.Messages().size());
    EXPECT_NE(std::string::npos,
              prompter.Messages()[1].strText.find(
                  strDamaged + ": TGP - файл поврежден, и поэтому проверка его длины невозможна!"));
}

TEST_F(MainWindowTest, OpenFolderSaysInOneMessageWhatItCouldNotOpenAndWhy)
{
    const std::string strGood = Put("a good.tgp", OneNoteProject(0));
    const std::string strDamaged = Put("b damaged.tgp", {'T', 'o', 'n', 'e'});
    const std::string strLink = folder.File("c link.wav");
    std::filesystem::create_symlink(folder.File("nowhere.wav"), strLink);
    const std::string strPipe = folder.File("d pipe.mid");
    // Reading a named pipe waits for a writer for ever: the test would hang here.
    ASSERT_EQ(0, mkfifo(strPipe.c_str(), 0600));
    auto dlg = MakeWindow();
    prompter.AnswerPath(folder.Path());
    dlg->OnCommand(Cmd::OpenFolder);

    ASSERT_EQ(2, dlg->RowCount());
    EXPECT_EQ(strGood, dlg->RowText(0, 0));
    EXPECT_EQ(strDamaged, dlg->RowText(1, 0)) << "a damaged project keeps its bytes in its row";
    ASSERT_EQ(1u, prompter.Messages().size());
    const SMessage message = prompter.Messages()[0];
    EXPECT_EQ("Tonegrove: Ошибка", message.strCaption);
    EXPECT_TRUE(message.bOwned);
    std::vector<std::string> lines;
    for (size_t nStart = 0, nEnd; nStart <= message.strText.size(); nStart = nEnd + 1)
    {
        nEnd = std::min(message.strText.find('\n', nStart), message.strText.size());
        lines.push_back(message.strText.substr(nStart, nEnd - nStart));
    }
    EXPECT_EQ((std::vector<std::string>{
                  "Некоторые файлы не открыты или открыты с ошибками:",
                  "",
                  strDamaged + ": TGP - файл поврежден, и поэтому проверка его длины невозможна!",
                  strLink + ": файл не открыт, его невозможно прочитать: No such file or directory",
                  strPipe + ": файл не открыт: Это не обычный файл (папка, именованный канал или устройство)",
              }),
              lines);
}

TEST_F(MainWindowTest, SaveAsksWhereNoFileExistsAndNeverWritesMediaRows)
{
    auto dlg = MakeWindow();
    dlg->OnCommand(Cmd::New);
    dlg->OnCommand(Cmd::Save); // cancelled
    EXPECT_EQ("save:Сохранить файл", prompter.m_dialogs.back());
    EXPECT_EQ((std::vector<std::string>{kNotSaved}), prompter.Lines());

    prompter.AnswerPath(folder.File("song"));
    dlg->OnCommand(Cmd::Save);
    EXPECT_EQ(folder.File("song.tgp"), dlg->RowText(0, 0));
    EXPECT_EQ("Tonegrove File Projects 0.1", ReadText(folder.File("song.tgp")));

    prompter.AnswerPath(folder.File("copy.mid"));
    dlg->OnCommand(Cmd::SaveAs);
    EXPECT_EQ(folder.File("copy.mid.tgp"), dlg->RowText(0, 0)) << "a project is saved as a project";
    EXPECT_EQ("Tonegrove File Projects 0.1", ReadText(folder.File("copy.mid.tgp")));

    const std::string strWav = Put("a.wav", Wav(8000, 80));
    Open(*dlg, strWav);
    dlg->OnCommand(Cmd::Save);
    prompter.AnswerPath(folder.File("x.tgp"));
    dlg->OnCommand(Cmd::SaveAs);
    EXPECT_EQ(Wav(8000, 80), ReadWholeFile(strWav));
    EXPECT_FALSE(FileExists(folder.File("x.tgp")));
}

TEST_F(MainWindowTest, SaveAddsTheExtensionFirstThenAsksBeforeReplacing)
{
    struct SCase
    {
        const char* pTyped;
        const char* pWritten;
    };
    const SCase cases[] = {
        {"song", "song.tgp"},           {"Song v1.2", "Song v1.2.tgp"}, {"Loud.TGP", "Loud.TGP"},
        {"tune.Tgp", "tune.Tgp"},       {"copy.mid", "copy.mid.tgp"},   {"a.tgp.bak", "a.tgp.bak.tgp"},
        {"dir.tgp/x", "dir.tgp/x.tgp"},
    };
    std::filesystem::create_directory(folder.File("dir.tgp"));
    auto dlg = MakeWindow();
    dlg->OnCommand(Cmd::New);
    for (const SCase& c : cases)
    {
        prompter.AnswerPath(folder.File(c.pTyped));
        dlg->OnCommand(Cmd::SaveAs);
        EXPECT_EQ(folder.File(c.pWritten), dlg->RowText(0, 0)) << c.pTyped;
        EXPECT_EQ(MakeHeader(1), ReadWholeFile(folder.File(c.pWritten))) << c.pTyped;
        // The row stays a project whatever its name: it still saves and closes.
        dlg->ClickRow(0);
        EXPECT_EQ(ERowKind::Project, dlg->Playlist().Row(0).eKind);
        EXPECT_TRUE(dlg->IsMenuEnabled(Cmd::Save)) << c.pTyped;
        EXPECT_TRUE(dlg->IsMenuEnabled(Cmd::Close)) << c.pTyped;
        EXPECT_TRUE(dlg->IsToolEnabled(Cmd::TbPlay)) << c.pTyped;
    }
    EXPECT_TRUE(prompter.Messages().empty()) << "no file was there to replace";
    EXPECT_FALSE(FileExists(folder.File("Song v1.2")));

    // "old" is typed while old.tgp exists: the question names old.tgp, on Save as on Save.
    const std::string strOld = Put("old.tgp", OneNoteProject(0));
    for (int nCommand : {Cmd::SaveAs, Cmd::Save})
    {
        dlg->OnCommand(Cmd::New);
        dlg->ClickRow(dlg->RowCount() - 1);
        prompter.m_dialogs.clear();
        // No: the dialog comes again, and its cancel saves nothing.
        prompter.AnswerPath(folder.File("old"));
        prompter.Answer(EAnswer::No);
        dlg->OnCommand(nCommand);
        EXPECT_EQ(2u, prompter.m_dialogs.size()) << nCommand;
        EXPECT_EQ(OneNoteProject(0), ReadWholeFile(strOld)) << nCommand;
        ASSERT_GE(prompter.Messages().size(), 2u);
        const SMessage asked = prompter.Messages()[prompter.Messages().size() - 2];
        EXPECT_EQ("Файл " + strOld + " уже существует.\nЗаменить его?", asked.strText);
        EXPECT_EQ(EButtons::YesNo, asked.eButtons);
        EXPECT_EQ(kNotSaved, prompter.Lines().back());
        // Yes replaces it.
        prompter.AnswerPath(folder.File("old"));
        prompter.Answer(EAnswer::Yes);
        dlg->OnCommand(nCommand);
        EXPECT_EQ(MakeHeader(1), ReadWholeFile(strOld)) << nCommand;
        EXPECT_EQ(strOld, dlg->RowText(dlg->RowCount() - 1, 0));
        WriteWholeFile(strOld, OneNoteProject(0));
    }
}

TEST_F(MainWindowTest, FirstDialogsStartInTheProjectFolderLaterOnesWhereTheLastFileWas)
{
    auto dlg = MakeWindow();
    dlg->OnCommand(Cmd::New);
    prompter.AnswerPath(folder.File("one"));
    dlg->OnCommand(Cmd::SaveAs);
    dlg->OnCommand(Cmd::SaveAs); // cancelled
    EXPECT_EQ((std::vector<std::string>{ProjectDir(), folder.Path() + "/"}), prompter.m_saveFolders);
    dlg->OnCommand(Cmd::Open);
    EXPECT_EQ("open:" + ProjectDir(), prompter.m_dialogs.back());

    // Files of the command line are opened without a dialog: the first dialog still starts
    // in the project folder.
    auto started = MakeWindow({Put("a.tgp", OneNoteProject(0))});
    started->OnCommand(Cmd::Open);
    EXPECT_EQ("open:" + ProjectDir(), prompter.m_dialogs.back());
}

TEST_F(MainWindowTest, TheUsersProjectFolderIsTonegroveInTheirMusicFolder)
{
    // The desktop says where music lives in the user-dirs file of the configuration folder.
    const char* pOld = std::getenv("XDG_CONFIG_HOME");
    const std::string strOld = pOld ? pOld : "";
    CTempFolder config;
    WriteText(config.File("user-dirs.dirs"), "XDG_MUSIC_DIR=\"" + music.File("Музыка") + "\"\n");
    setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
    const std::string strFolder = CTonegroveApp::UserProjectFolder();
    if (pOld)
        setenv("XDG_CONFIG_HOME", strOld.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(music.File("Музыка") + "/Tonegrove", strFolder);
}

TEST_F(MainWindowTest, SaveAllWritesEveryProjectRowItsOwnBytes)
{
    const std::string strA = Put("a.tgp", OneNoteProject(0));
    const std::string strB = Put("b.tgp", OneNoteProject(1));
    const std::string strWav = Put("c.wav", Wav(8000, 80));
    auto dlg = MakeWindow();
    Open(*dlg, strA);
    Open(*dlg, strWav);
    Open(*dlg, strB);
    WriteWholeFile(strA, std::vector<uint8_t>{1});
    WriteWholeFile(strB, std::vector<uint8_t>{2});
    dlg->OnCommand(Cmd::SaveAll);
    EXPECT_EQ(OneNoteProject(0), ReadWholeFile(strA));
    EXPECT_EQ(OneNoteProject(1), ReadWholeFile(strB));
    EXPECT_EQ(Wav(8000, 80), ReadWholeFile(strWav));
    EXPECT_TRUE(prompter.Messages().empty());

    // A row whose path cannot be written is listed in the one message.
    std::filesystem::remove(strB);
    std::filesystem::create_directory(strB);
    dlg->OnCommand(Cmd::SaveAll);
    EXPECT_EQ(
        (std::vector<std::string>{"Ошибка записи|ОШИБКА!!!\r\nНе могли сохраниться слеюующие файлы:\r\n\r\n" +
                                  strB + "\r\n"}),
        prompter.Lines());
}

TEST_F(MainWindowTest, ClicksAndCloseSwitchMenuAndToolbar)
{
    const std::string strA = Put("a.tgp", OneNoteProject(0));
    const std::string strWav = Put("c.wav", Wav(8000, 80));
    auto dlg = MakeWindow();
    Open(*dlg, strA);
    Open(*dlg, strWav);
    const int menus[] = {Cmd::Save,          Cmd::SaveAs,    Cmd::Close,
                         Cmd::SelectionMark, Cmd::SelectAll, Cmd::SaveAll};

    dlg->ClickRow(1);
    for (int nId : menus)
        EXPECT_EQ(nId == Cmd::Close, dlg->IsMenuEnabled(nId)) << nId << ": every row can be closed";
    EXPECT_FALSE(dlg->IsToolEnabled(Cmd::TbPlay));
    EXPECT_FALSE(dlg->IsToolEnabled(Cmd::TbStop)) << "nothing plays";

    dlg->ClickRow(0);
    for (int nId : menus)
        EXPECT_TRUE(dlg->IsMenuEnabled(nId)) << nId;
    EXPECT_TRUE(dlg->IsToolEnabled(Cmd::TbPlay));

    dlg->ClickRow(1);
    dlg->OnCommand(Cmd::Close);
    ASSERT_EQ(1, dlg->RowCount());
    EXPECT_EQ(0, dlg->SelectedRow());
    EXPECT_EQ((std::vector<std::string>{strA}), Paths(*dlg));
    dlg->OnCommand(Cmd::Close);
    EXPECT_EQ(0, dlg->RowCount());
    EXPECT_TRUE(Paths(*dlg).empty());
    EXPECT_FALSE(dlg->List()->isEnabled());
    for (int nId : {Cmd::TbPlayback, Cmd::TbPause, Cmd::TbStop, Cmd::TbPlay})
        EXPECT_FALSE(dlg->IsToolEnabled(nId)) << nId;
    dlg->OnCommand(Cmd::Close); // no row: nothing happens
    dlg->OnCommand(Cmd::Save);
    dlg->OnCommand(Cmd::SaveAs);
    EXPECT_TRUE(prompter.m_dialogs.size() == 2u) << "no save dialog without a row";

    // Not the run's first item: the menu keeps what the click on the media row greyed.
    Open(*dlg, strA);
    EXPECT_TRUE(dlg->List()->isEnabled());
    EXPECT_FALSE(dlg->IsMenuEnabled(Cmd::Save));
}

TEST_F(MainWindowTest, CommandLineOpensEachPathAsOpenDoes)
{
    const std::string strA = Put("a b.tgp", OneNoteProject(1));
    const std::string strB = Put("c.wav", Wav(8000, 8000));
    auto dlg = MakeWindow({strA, strB});
    ASSERT_EQ(2, dlg->RowCount());
    EXPECT_EQ(strA, dlg->RowText(0, 0));
    EXPECT_EQ(strB, dlg->RowText(1, 0));
    EXPECT_EQ(1, dlg->SelectedRow());
    EXPECT_EQ("00:00", dlg->RowText(0, 1));
    EXPECT_EQ("00:01", dlg->RowText(1, 1));
    EXPECT_TRUE(prompter.m_dialogs.empty());
    EXPECT_TRUE(prompter.Messages().empty());
    Open(*dlg, strA);
    EXPECT_EQ(2, dlg->RowCount()) << "the same file is found again";

    const std::string strMissing = folder.File("missing.tgp");
    auto missing = MakeWindow({"\"" + strA + "\"", strMissing});
    EXPECT_EQ(0, missing->RowCount()) << "quotation marks are part of the path";
    ASSERT_EQ(1u, prompter.Messages().size());
    EXPECT_NE(std::string::npos, prompter.Messages()[0].strText.find(strMissing + ": "));
}

// The desktop opens a project it knows by its header, whatever it is called; the row is a project
// that plays, edits and saves under its own name.
TEST_F(MainWindowTest, CommandLineOpensAProjectWithoutItsExtension)
{
    const std::vector<uint8_t> project = OneNoteProject(1);
    const std::string strProject = Put("melody", project);
    const std::string strOther = Put("readme", std::vector<uint8_t>{'h', 'i'});
    auto dlg = MakeWindow({strProject, strOther});
    ASSERT_EQ(1, dlg->RowCount());
    EXPECT_EQ(strProject, dlg->RowText(0, 0));
    EXPECT_EQ("00:00", dlg->RowText(0, 1));
    EXPECT_TRUE(prompter.Messages().empty());
    dlg->OnCommand(Cmd::SelectAll);
    dlg->OnCommand(Cmd::Copy);
    dlg->OnCommand(Cmd::Paste);
    dlg->OnCommand(Cmd::Save);
    EXPECT_GT(ReadWholeFile(strProject).size(), project.size()) << "saved over itself";
    EXPECT_EQ(1, dlg->RowCount());
}

TEST_F(MainWindowTest, CommandLineArgumentsBecomeAbsolutePaths)
{
    const std::string strHere = std::filesystem::current_path().string();
    const std::vector<std::string> arguments = {"tonegrove", "a.tgp",      "./x/../b c.wav",
                                                "",          "/abs/d.mid", "../e.tgp"};
    std::vector<const char*> argv;
    for (const std::string& str : arguments)
        argv.push_back(str.c_str());
    const std::string strParent = std::filesystem::current_path().parent_path().string();
    EXPECT_EQ((std::vector<std::string>{strHere + "/a.tgp", strHere + "/b c.wav", "/abs/d.mid",
                                        (strParent == "/" ? "" : strParent) + "/e.tgp"}),
              CTonegroveApp::PathsFromArguments(static_cast<int>(argv.size()), argv.data()));
}

TEST_F(MainWindowTest, MidiAndKarFilesAreMidiRowsOnEveryRoute)
{
    const std::vector<uint8_t> midi = {'M', 'T', 'h', 'd', 0,   0, 0, 6, 0, 0, 0,    1,    0,
                                       96,  'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0xFF, 0x2F, 0};
    const std::string strMidi = Put("one.midi", midi);
    const std::string strKar = Put("two.KAR", midi);
    const std::string strCommandLine = Put("three.Midi", midi);
    auto dlg = MakeWindow({strCommandLine});
    Open(*dlg, strMidi);
    prompter.AnswerPath(folder.Path());
    dlg->OnCommand(Cmd::OpenFolder);
    ASSERT_EQ(3, dlg->RowCount());
    EXPECT_EQ((std::vector<std::string>{strCommandLine, strMidi, strKar}),
              (std::vector<std::string>{dlg->RowText(0, 0), dlg->RowText(1, 0), dlg->RowText(2, 0)}));
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(ERowKind::Midi, dlg->Playlist().Row(i).eKind) << i;
        EXPECT_TRUE(dlg->RowData(i).empty()) << "not read as a project";
        EXPECT_FALSE(dlg->Playlist().IsProject(i));
    }
    for (const SMessage& message : prompter.Messages())
        EXPECT_EQ(std::string::npos, message.strText.find("TGP")) << message.strText;
}

TEST_F(MainWindowTest, OpenFolderAddsFilesInTheOrderAPersonReadsTheirNames)
{
    // A Russian reader's order: Cyrillic names before Latin ones, Ё among the Е.
    const std::vector<std::string> sorted = {
        "Ёлка.tgp", "ель.tgp",    "юла 3.tgp",  "Юла 20.tgp", "a.tgp",       "B.tgp",        "c 2.tgp",
        "c 10.tgp", "track1.tgp", "Track2.tgp", "track9.tgp", "track10.tgp", "track100.tgp",
    };
    // Written in another order than they are read.
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it)
        Put(*it, OneNoteProject(0));
    auto dlg = MakeWindow();
    prompter.AnswerPath(folder.Path());
    dlg->OnCommand(Cmd::OpenFolder);
    std::vector<std::string> rows;
    for (int i = 0; i < dlg->RowCount(); ++i)
        rows.push_back(std::filesystem::path(dlg->RowText(i, 0)).filename().string());
    EXPECT_EQ(sorted, rows);
}

TEST_F(MainWindowTest, QtsOwnTextsSpeakRussian)
{
    CTonegroveApp app;
    ASSERT_TRUE(app.InstallQtTranslations()) << "Qt's translations are not installed (qt6-translations-l10n)";
    EXPECT_EQ("&Да", QCoreApplication::translate("QPlatformTheme", "&Yes").toStdString());
    EXPECT_EQ("Перейти к:", QCoreApplication::translate("QFileDialog", "Look in:").toStdString());
}

TEST_F(MainWindowTest, EndingAsksOnceAboutUnsavedProjects)
{
    const std::string strA = Put("a.tgp", OneNoteProject(1));
    struct SCase
    {
        EAnswer eAnswer;
        bool bEnds;
        bool bSaved;
    };
    for (SCase c : {SCase{EAnswer::Cancel, false, false}, SCase{EAnswer::No, true, false},
                    SCase{EAnswer::Yes, true, true}})
    {
        WriteWholeFile(strA, OneNoteProject(1));
        auto dlg = MakeWindow({strA});
        dlg->show();
        EXPECT_FALSE(dlg->HasUnsavedProjects());
        WriteWholeFile(strA, OneNoteProject(0)); // the row now differs from its file
        EXPECT_TRUE(dlg->HasUnsavedProjects());
        const size_t nBefore = prompter.Messages().size();
        prompter.Answer(c.eAnswer);
        QTest::keyClick(dlg.get(), Qt::Key_Escape);
        EXPECT_EQ(nBefore + 1, prompter.Messages().size());
        EXPECT_EQ(c.bEnds, !dlg->isVisible());
        EXPECT_EQ(c.bSaved, ReadWholeFile(strA) == OneNoteProject(1));
    }

    // Nothing unsaved: Enter ends at once.
    auto dlg = MakeWindow({strA});
    dlg->show();
    const size_t nBefore = prompter.Messages().size();
    QTest::keyClick(dlg.get(), Qt::Key_Return);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(nBefore, prompter.Messages().size());
}

TEST_F(MainWindowTest, HelpOpensThePageOfTheDataFolder)
{
    auto dlg = MakeWindow();
    const std::string strHelp = data.File("tonegrove.html");
    dlg->OnCommand(Cmd::Help);
    ASSERT_EQ(1u, prompter.Messages().size()) << "a missing page is said";
    EXPECT_NE(std::string::npos, prompter.Messages()[0].strText.find(strHelp))
        << prompter.Messages()[0].strText;
    EXPECT_TRUE(prompter.m_documents.empty());
    WriteText(strHelp, "<html></html>");
    dlg->OnCommand(Cmd::Help);
    EXPECT_EQ((std::vector<std::string>{strHelp}), prompter.m_documents);
    EXPECT_EQ(1u, prompter.Messages().size()) << "an opened page says nothing";

    // A page that is there but that no program shows is not called missing.
    prompter.m_bDocumentsOpen = false;
    dlg->OnCommand(Cmd::Help);
    ASSERT_EQ(2u, prompter.Messages().size());
    EXPECT_EQ(TrStd(Msg::kHelpNoViewer) + "\n" + strHelp, prompter.Messages()[1].strText);
}

TEST_F(MainWindowTest, ShortcutsReachTheMainWindowFromAnyWindowButTextFieldsKeepEditing)
{
    auto dlg = MakeWindow();
    CTonegroveApp app;
    app.SetMainWindow(dlg.get());
    QDialog other;
    auto* pEdit = new QLineEdit(&other);
    other.show();
    pEdit->setFocus();

    QTest::keyClick(pEdit, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(1, dlg->RowCount()) << "Ctrl+N from another window makes a project in the main window";
    QTest::keyClick(pEdit, Qt::Key_Delete);
    QTest::keyClick(pEdit, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(1, dlg->RowCount());
    prompter.AnswerPath("");
    QTest::keyClick(pEdit, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ("open:" + ProjectDir(), prompter.m_dialogs.back()) << "Ctrl+O opens the main window's Open";

    app.SetMainWindow(nullptr);
    QTest::keyClick(pEdit, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(1, dlg->RowCount());
}

TEST_F(MainWindowTest, AHeldEnterOrEscNeverEndsTheProgramOnlyAFreshPressDoes)
{
    // The key went down in the live window, which closed on it; its repeats come here, as
    // X sends them: a release and a press with one stamp, marked as a repeat or not.
    const std::pair<int, quint32> keys[] = {{Qt::Key_Return, 36}, {Qt::Key_Escape, 9}};
    for (auto [nKey, nScan] : keys)
    {
        SCOPED_TRACE(nKey);
        auto dlg = MakeWindow();
        CTonegroveApp app;
        app.SetMainWindow(dlg.get());
        dlg->show();
        auto send = [&](QEvent::Type eType, ulong nStamp, bool bRepeat)
        {
            QKeyEvent event(eType, nKey, Qt::NoModifier, nScan, 0, 0, {}, bRepeat);
            event.setTimestamp(nStamp);
            QApplication::sendEvent(dlg.get(), &event);
        };
        for (ulong nStamp : {600ul, 633ul, 666ul})
        {
            send(QEvent::KeyRelease, nStamp, nStamp == 633);
            send(QEvent::KeyPress, nStamp, nStamp == 633);
        }
        EXPECT_TRUE(dlg->isVisible());
        send(QEvent::KeyRelease, 700, false);
        send(QEvent::KeyPress, 900, false);
        EXPECT_FALSE(dlg->isVisible()) << "a fresh press still ends the program";
        app.SetMainWindow(nullptr);
    }
    EXPECT_TRUE(prompter.Lines().empty());
}

TEST_F(MainWindowTest, SettingsFromTheMenuAndTheToolbarOpenTheOptionsOverTheWindow)
{
    auto dlg = MakeWindow();
    for (int nId : {Cmd::Settings, Cmd::TbSettings})
    {
        std::string strSeen;
        QTimer::singleShot(0,
                           [&]
                           {
                               QWidget* pModal = QApplication::activeModalWidget();
                               ASSERT_NE(nullptr, pModal);
                               strSeen = pModal->metaObject()->className();
                               EXPECT_EQ(dlg.get(), pModal->parentWidget());
                               static_cast<QDialog*>(pModal)->reject();
                           });
        EXPECT_TRUE(dlg->OnCommand(nId));
        EXPECT_EQ("COptionsDlg", strSeen) << nId;
    }
    // Cancel wrote nothing.
    EXPECT_EQ(std::string::npos, ReadText(reg.UserFile()).find("ExtView"));
}

TEST(Accelerators, KeysMapToTheirCommands)
{
    const std::tuple<int, Qt::KeyboardModifiers, int> cases[] = {
        {Qt::Key_N, Qt::ControlModifier, Cmd::New},
        {Qt::Key_O, Qt::ControlModifier, Cmd::Open},
        {Qt::Key_S, Qt::ControlModifier, Cmd::Save},
        {Qt::Key_T, Qt::ControlModifier, Cmd::Settings},
        {Qt::Key_X, Qt::ControlModifier, Cmd::Cut},
        {Qt::Key_C, Qt::ControlModifier, Cmd::Copy},
        {Qt::Key_V, Qt::ControlModifier, Cmd::Paste},
        {Qt::Key_Delete, Qt::NoModifier, Cmd::Delete},
        {Qt::Key_P, Qt::ControlModifier, Cmd::RemoveGaps},
        {Qt::Key_F2, Qt::NoModifier, Cmd::SelectionMark},
        {Qt::Key_A, Qt::ControlModifier, Cmd::SelectAll},
        {Qt::Key_F3, Qt::NoModifier, Cmd::Play},
        {Qt::Key_F4, Qt::NoModifier, Cmd::Playback},
        {Qt::Key_F5, Qt::NoModifier, Cmd::Stop},
        {Qt::Key_F6, Qt::NoModifier, Cmd::Pause},
        {Qt::Key_F1, Qt::NoModifier, Cmd::Help},
        {Qt::Key_Z, Qt::ControlModifier, Cmd::TbUndo},
        {Qt::Key_Y, Qt::ControlModifier, Cmd::TbRedo},
        {Qt::Key_Pause, Qt::NoModifier, Cmd::Panic},
        {Qt::Key_N, Qt::NoModifier, 0},
        {Qt::Key_F4, Qt::ShiftModifier, 0},
        {Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier, 0},
    };
    for (auto [nKey, modifiers, nCommand] : cases)
        EXPECT_EQ(nCommand, CTonegroveApp::AcceleratorCommand(nKey, modifiers)) << nKey;
}
} // namespace
