// Page "Общие" of the Options dialog: keyboard view and mode, the type of new projects, how the
// playlist plays.
#pragma once

#include <QWidget>

class CSettings;
class QCheckBox;
class QComboBox;

class COptionsGeneralPage : public QWidget
{
  public:
    explicit COptionsGeneralPage(CSettings& settings, QWidget* pParent = nullptr);

    // Controls from the settings in memory.
    void Fill();
    // The settings in memory from the controls; ExtView apart, which the dialog writes itself.
    void Store();
    bool IsExtViewChecked() const;

  private:
    CSettings& m_settings;
    QCheckBox* m_pExtView = nullptr;
    QComboBox* m_pMusicType = nullptr;
    QComboBox* m_pProjectType = nullptr;
    QCheckBox* m_pAllPlay = nullptr;
    QCheckBox* m_pPlayNoEnd = nullptr;
};
