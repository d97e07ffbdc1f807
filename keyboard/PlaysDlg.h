// The live play window "Играть ноты": the computer keyboard plays notes on the MIDI output and
// records them; Enter hands the recording back joined to the project it continues, Esc drops it.
#pragma once

#include "app/Services.h"
#include "keyboard/NoteKeyboard.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

class CLiveMidiIn;
class CNoteKeyboardWnd;
class CToneOutput;

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
// fTakeChanged, when given, is told the records played so far (no header) each time a key adds
// to them, so that a view behind the window can show the take as it grows.
using FTakeChanged = std::function<void(std::span<const uint8_t> take)>;
SPlayResult RunPlaysDialog(QWidget* pParent, std::vector<uint8_t> startProject, CSettings& settings,
                           const SServices& services, FTakeChanged fTakeChanged = {});

class CPlaysDlg : public QDialog, public INoteKeyboardHost
{
    Q_OBJECT

  public:
    // settings: DeviceIndex, ProjectType, ExtView and MidiInName are read, MusicType switched in
    // memory. services: the window plays on midiOut, keeps time with clock and says through
    // prompter that the output cannot be opened; DirectX mode sounds its oscillator in the
    // audioOut stream (none: silent); the input MidiInName of midiIn plays along while the
    // window is open. strPictureFolder: the key pictures.
    CPlaysDlg(std::vector<uint8_t> startProject, CSettings& settings, const SServices& services,
              std::string strPictureFolder, QWidget* pParent = nullptr);
    ~CPlaysDlg() override;

    // The set-up: opens the MIDI output of DeviceIndex (a failure is said, and false means the
    // window is not to be shown), builds the keyboard of the ExtView view and sizes the window.
    bool OnInitDialog();
    // Once the window has closed: accepted or abandoned, and the joined project.
    const SPlayResult& Result() const { return m_result; }
    void SetTakeListener(FTakeChanged fTakeChanged) { m_fTakeChanged = std::move(fTakeChanged); }

    CNoteKeyboardWnd* Keyboard() const { return m_pKeyboard; }
    // The oscillator of DirectX mode while the window is open and has a stream; null otherwise.
    CToneOutput* ToneOutput() const { return m_pTone.get(); }
    // The window's outer size, frame included: the keyboard's extent and room for the status
    // lines below it.
    QSize OuterSize() const;
    // The three status lines as painted: MIDI channel, DirectX channel, music type.
    std::vector<std::string> StatusLines() const;
    // The MIDI input's status line, painted beside them; empty when there is nothing to say.
    std::string MidiInStatus() const;
    // The window's MIDI input while it is open; null without a window set up.
    CLiveMidiIn* MidiIn() const { return m_pMidiIn.get(); }

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
    // The oscillator falls silent and leaves the stream.
    void EndTone();
    // Tells fTakeChanged when the keys handled since it last told added records.
    void TellTake();
    // TellTake once the event being handled is done.
    void TellTakeSoon();

    std::vector<uint8_t> m_arrStart;
    int m_nRecordVersion = -1;
    CSettings& m_settings;
    SServices m_services;
    std::string m_strPictureFolder;
    std::unique_ptr<IMidiOutHandle> m_pMidiOut;
    CNoteKeyboardWnd* m_pKeyboard = nullptr;
    std::unique_ptr<CToneOutput> m_pTone;
    std::unique_ptr<CLiveMidiIn> m_pMidiIn;
    bool m_bShown = false;
    bool m_bClosed = false;
    SPlayResult m_result;
    FTakeChanged m_fTakeChanged;
    size_t m_nTakeTold = 0; // the take's size when it was last told
    bool m_bTakePending = false;
};
