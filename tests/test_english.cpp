// The program in English: the main window's texts, a status line made of our texts and values,
// and a message box of the engine's, while the English translation is installed; Russian again
// once it is gone.
#include "app/FileHelpers.h"
#include "app/Messages.h"
#include "app/Settings.h"
#include "keyboard/KeyboardTexts.h"
#include "lang/Translate.h"
#include "lang/Translation.h"
#include "mainwnd/CommandIds.h"
#include "mainwnd/MainTexts.h"
#include "mainwnd/QtPrompter.h"
#include "mainwnd/TonegroveDlg.h"
#include "tests/MediaDoubles.h"
#include "tests/MessageBoxes.h"
#include "tests/ProjectFixtures.h"
#include "tests/TestServices.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace
{
class EnglishTest : public ::testing::Test, protected CTestServices
{
  protected:
    std::unique_ptr<CTonegroveDlg> MakeWindow(const std::vector<std::string>& arrPaths = {})
    {
        return std::make_unique<CTonegroveDlg>(settings, Services(), arrPaths, music.File("Tonegrove"));
    }
    std::string Put(const std::string& strName, const std::vector<uint8_t>& bytes)
    {
        std::string strPath = folder.File(strName);
        EXPECT_TRUE(WriteWholeFile(strPath, bytes));
        return strPath;
    }
    static std::vector<std::string> Menus(const CTonegroveDlg& dlg)
    {
        std::vector<std::string> arr;
        for (QAction* pMenu : dlg.findChild<QMenuBar*>()->actions())
        {
            std::string strMenu = pMenu->text().toStdString() + ":";
            for (QAction* p : pMenu->menu()->actions())
            {
                if (!p->isSeparator())
                    strMenu += " " + p->text().toStdString();
            }
            arr.push_back(strMenu);
        }
        return arr;
    }

    CTempFolder folder;
    CTempFolder music;
};

TEST_F(EnglishTest, TheMainWindowSpeaksEnglishWhileTheTranslationIsInstalled)
{
    std::vector<uint8_t> project = MakeHeader(0);
    AppendNoteOnRecord(project, 100, 48, 12, 127, 0);
    AppendNoteOffRecord(project, 2400, 48, 12, 0);
    const std::string strPath = Put("one.tgp", project);
    {
        CTranslation translation(ELanguage::English);
        ASSERT_TRUE(translation.IsLoaded());
        auto dlg = MakeWindow({strPath});
        EXPECT_EQ((std::vector<std::string>{
                      "File: New\tCtrl+N Open\tCtrl+O Open from Folder Save\tCtrl+S Save As... Save All "
                      "Export to MIDI... Close Settings\tCtrl+T Exit",
                      "Edit: Undo\tCtrl+Z Redo\tCtrl+Y Cut\tCtrl+X Copy\tCtrl+C Paste\tCtrl+V Delete\tDel "
                      "Remove Gaps\tCtrl+P Selection Mark\tF2 Select All\tCtrl+A",
                      "Music: Play\tF3 Playback\tF4 Stop\tF5 Pause\tF6 All notes off\tPause",
                      "Help: View Help\tF1 About...",
                  }),
                  Menus(*dlg));
        EXPECT_EQ("Save", dlg->ToolAction(Cmd::TbSave)->toolTip().toStdString());
        EXPECT_EQ("File name", dlg->List()->horizontalHeaderItem(0)->text().toStdString());
        EXPECT_EQ("Playing time", dlg->List()->horizontalHeaderItem(1)->text().toStdString());
        // The status line: our words translated, the numbers kept.
        dlg->ClickRow(0);
        EXPECT_EQ("Selected: nothing of 2", dlg->EditStatus()->text().toStdString());
        dlg->OnCommand(Cmd::SelectionMark);
        EXPECT_EQ("Selection start: 1 of 2", dlg->EditStatus()->text().toStdString());
        EXPECT_EQ("Selection End Mark",
                  dlg->MenuAction(Cmd::SelectionMark)->text().section('\t', 0, 0).toStdString());
        dlg->OnCommand(Cmd::SelectionMark);
        EXPECT_EQ("Selected: 1–1 of 2", dlg->EditStatus()->text().toStdString());
    }
    // Without the translation: the original texts.
    auto dlg = MakeWindow({strPath});
    EXPECT_EQ("Файл", dlg->findChild<QMenuBar*>()->actions().at(0)->text().toStdString());
    dlg->ClickRow(0);
    EXPECT_EQ("Выделено: ничего из 2", dlg->EditStatus()->text().toStdString());
}

TEST(EnglishBoxTest, AnEngineMessageIsTranslatedPieceByPieceAndItsValuesKept)
{
    CTranslation translation(ELanguage::English);
    ASSERT_TRUE(translation.IsLoaded());
    CQtPrompter prompter;

    // The settings store's message: our texts around a folder and the system's reason.
    const SSettingsProblem problem{true, "/home/Файл/config", ENOSPC};
    ASSERT_EQ("Не удалось сохранить настройки в папке /home/Файл/config\n" +
                  std::string(std::strerror(ENOSPC)) + "\nПрограмма продолжит работу с настройками в памяти.",
              problem.Text())
        << "the original text is the join of the pieces";
    prompter.Tell(SMessage{problem.Text(), Msg::kMidiErrorCaption, EIcon::Error, EButtons::YesNo, false,
                           problem.Pieces()});
    QMessageBox* pBox = WaitForBox();
    ASSERT_NE(nullptr, pBox);
    EXPECT_EQ("Could not save the settings in the folder /home/Файл/config\n" +
                  std::string(std::strerror(ENOSPC)) +
                  "\nThe program will go on with the settings in memory.",
              pBox->text().toStdString())
        << "the folder is a value: its Russian word is not translated";
    EXPECT_EQ("Tonegrove: MIDI Error", pBox->windowTitle().toStdString());
    EXPECT_EQ("Yes", pBox->button(QMessageBox::Yes)->text().toStdString());
    EXPECT_EQ("No", pBox->button(QMessageBox::No)->text().toStdString());
    pBox->button(QMessageBox::No)->click();
    QCoreApplication::processEvents();

    // A text of ours as a whole; a text that is not ours comes through as it is.
    EXPECT_EQ("Error!", Tr(std::string(Msg::kNotSavedCaption)).toStdString());
    EXPECT_EQ("tonegrove.en.html", TrStd(Txt::kHelpFile));
    EXPECT_EQ("Не наш текст", TrStd("Не наш текст"));
    EXPECT_EQ("MIDI channel: 7", TrLead(Txt::kMidiChannel, "MIDI канал: 7").toStdString());
}
} // namespace
