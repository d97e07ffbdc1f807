// Page "DirectX Music (Осцилятор)" of the Options dialog: the oscillator's frequency, volume and
// resonance as trackbars each paired with an edit, its formula and its wave form.
#pragma once

#include <QWidget>

#include <array>
#include <string>

class CSettings;
class QComboBox;
class QLineEdit;
class QSlider;

class COptionsOscillatorPage : public QWidget
{
  public:
    explicit COptionsOscillatorPage(CSettings& settings, QWidget* pParent = nullptr);

    // Controls from the settings in memory.
    void Fill();
    // Frequency, Volume, Synth, SynthMode and OscilatorMode from the controls: the trackbars'
    // positions, never the edits' texts.
    void Store();

  private:
    // A trackbar and its edit; the resonance pair shows thousandths.
    struct SPair
    {
        QSlider* pBar = nullptr;
        QLineEdit* pEdit = nullptr;
        bool bThousandths = false;
    };
    SPair MakePair(int nBarId, const QRect& barRect, int nEditId, const QRect& editRect, int nHighest,
                   bool bThousandths);
    // The edits' texts are ANSI texts of the machine's code page.
    QString Wide(const std::string& strAnsi) const;
    std::string Ansi(const QString& str) const;
    void OnThumb(const SPair& pair);
    void OnEditChanged(const SPair& pair);

    CSettings& m_settings;
    std::array<SPair, 3> m_arrPairs; // frequency, volume, resonance
    QComboBox* m_pSynthMode = nullptr;
    QComboBox* m_pOscilatorMode = nullptr;
    // Set while an edit moves its trackbar, so that the trackbar does not rewrite the edit.
    bool m_bFromEdit = false;
};
