// The live play window "Играть ноты": the computer keyboard plays notes on the MIDI output and
// records them; Enter hands the recording back joined to the project it continues, Esc drops it.
#pragma once

#include "keyboard/NoteKeyboard.h"
#include "platform/Clock.h"
#include "platform/MidiOut.h"

#include <QDialog>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CNoteKeyboardWnd;

struct SPlayResult
{
    bool bAccepted = false;
    // Records were played: project is more than the project the window started from.
    bool bRecorded = false;
    // Accepted: the starting project, every byte of it, followed by the records.
    std::vector<uint8_t> project;
};

// The main window's Play command: runs the live play window modally over pParent and gives
// back what came of it. startProject: the selected project row's bytes, or empty for a new
// project, which then starts from the bare header of the version ProjectType chooses.
SPlayResult RunPlaysDialog(QWidget* pParent, std::vector<uint8_t> startProject);

// What the live window plays through and keeps time with; the program's outputs unless
// something else is installed here (tests install their recorder and manual clock). Null puts
// the program's outputs back. The caller keeps ownership.
void SetLivePlayOutputs(IMidiOut* pMidiOut, IClock* pClock);

struct SPlaysSetup
{
    IMidiOut* pMidiOut = nullptr;
    IClock* pClock = nullptr;
    std::string strPictureFolder; // the key pictures
};

class CPlaysDlg : public QDialog, public INoteKeyboardHost
{
    Q_OBJECT

  public:
    CPlaysDlg(std::vector<uint8_t> startProject, SPlaysSetup setup, QWidget* pParent = nullptr);
    ~CPlaysDlg() override;

    // The set-up: opens the MIDI output of DeviceIndex (a failure is said, and false means the
    // window is not to be shown), builds the keyboard of the ExtView view and sizes the window.
    bool OnInitDialog();
    // Once the window has closed: accepted or abandoned, and the joined project.
    const SPlayResult& Result() const { return m_result; }

    CNoteKeyboardWnd* Keyboard() const { return m_pKeyboard; }
    // The window's outer size, frame included: the keyboard's extent and room for the status
    // lines below it.
    QSize OuterSize() const;
    // The three status lines as painted: MIDI channel, DirectX channel, music type.
    std::vector<std::string> StatusLines() const;

    void LightKey(int nSlot, bool bOn) override;
    void StatusChanged() override;
    void Accept() override;
    void Abandon() override;

  public slots:
    // Enter, Esc, the close box and accept()/reject() all end here, once.
    void done(int nResult) override;

  protected:
    void showEvent(QShowEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void keyReleaseEvent(QKeyEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;

  private:
    // Gives the window its outer size with the frame it has now; the frame is known only once
    // the window is shown.
    void FitToKeyboard();

    std::vector<uint8_t> m_arrStart;
    int m_nRecordVersion = -1;
    SPlaysSetup m_setup;
    std::unique_ptr<IMidiOutHandle> m_pMidiOut;
    CNoteKeyboardWnd* m_pKeyboard = nullptr;
    bool m_bShown = false;
    bool m_bClosed = false;
    SPlayResult m_result;
};
