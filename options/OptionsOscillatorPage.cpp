#include "options/OptionsOscillatorPage.h"

#include "app/Settings.h"
#include "app/TextHelpers.h"
#include "mainwnd/DialogUnits.h"
#include "options/OptionsControls.h"
#include "options/OptionsIds.h"
#include "options/OptionsTexts.h"
#include "options/OptionsValues.h"

#include <QLabel>
#include <QLineEdit>
#include <QSlider>

namespace
{
constexpr int kHighestFrequency = 3447;
constexpr int kHighestVolume = 1000;
constexpr int kHighestResonance = 3000;

} // namespace

COptionsOscillatorPage::COptionsOscillatorPage(CSettings& settings, QWidget* pParent)
    : QWidget(pParent), m_settings(settings)
{
    setFont(DialogFont());
    MakeGroup(this, 0, {7, 8, 328, 145}, OptTxt::kOscGroup);

    PlaceControl(new QLabel(OptText(OptTxt::kFrequency), this), OptId::FrequencyLabel, {19, 22, 53, 8});
    m_arrPairs[0] = MakePair(OptId::FrequencyBar, {10, 33, 257, 12}, OptId::FrequencyEdit, {275, 32, 54, 12},
                             kHighestFrequency, false);
    PlaceControl(new QLabel(OptText(OptTxt::kVolume), this), OptId::VolumeLabel, {19, 51, 53, 8});
    m_arrPairs[1] = MakePair(OptId::VolumeBar, {10, 62, 257, 12}, OptId::VolumeEdit, {275, 61, 54, 12},
                             kHighestVolume, false);
    PlaceControl(new QLabel(OptText(OptTxt::kResonance), this), OptId::ResonanceLabel, {19, 81, 53, 8});
    m_arrPairs[2] = MakePair(OptId::ResonanceBar, {10, 92, 257, 12}, OptId::ResonanceEdit, {275, 91, 54, 12},
                             kHighestResonance, true);

    PlaceControl(new QLabel(OptText(OptTxt::kSynthMode), this), OptId::SynthModeLabel, {17, 119, 99, 13});
    m_pSynthMode = MakeList(this, OptId::SynthMode, {17, 131, 104, 15}, OptTxt::kSynthModes);
    PlaceControl(new QLabel(OptText(OptTxt::kOscilatorMode), this), OptId::OscilatorModeLabel,
                 {207, 119, 99, 10});
    m_pOscilatorMode = MakeList(this, OptId::OscilatorMode, {207, 131, 104, 15}, OptTxt::kOscilatorModes);
}

COptionsOscillatorPage::SPair COptionsOscillatorPage::MakePair(int nBarId, const QRect& barRect, int nEditId,
                                                               const QRect& editRect, int nHighest,
                                                               bool bThousandths)
{
    SPair pair;
    pair.pBar = new QSlider(Qt::Horizontal, this);
    pair.pBar->setTickPosition(QSlider::NoTicks);
    pair.pBar->setRange(1, nHighest);
    PlaceControl(pair.pBar, nBarId, barRect);
    pair.pEdit = new QLineEdit(this);
    PlaceControl(pair.pEdit, nEditId, editRect);
    pair.bThousandths = bThousandths;
    connect(pair.pBar, &QSlider::valueChanged, this,
            [this, pair]
            {
                if (!m_bFromEdit)
                    OnThumb(pair);
            });
    connect(pair.pEdit, &QLineEdit::textChanged, this, [this, pair] { OnEditChanged(pair); });
    return pair;
}

QString COptionsOscillatorPage::Wide(const std::string& strAnsi) const
{
    return QString::fromStdU16String(ToWide(strAnsi, m_settings.CodePage()));
}

std::string COptionsOscillatorPage::Ansi(const QString& str) const
{
    return ToAnsi(str.toStdU16String(), m_settings.CodePage());
}

void COptionsOscillatorPage::OnThumb(const SPair& pair)
{
    const int nPosition = pair.pBar->value();
    pair.pEdit->setText(Wide(pair.bThousandths ? SynthPositionText(nPosition) : IntToText(nPosition)));
}

void COptionsOscillatorPage::OnEditChanged(const SPair& pair)
{
    // The trackbar clamps what the edit asks for; the edit keeps the text as typed.
    const std::string strText = Ansi(pair.pEdit->text());
    m_bFromEdit = true;
    pair.pBar->setValue(pair.bThousandths ? SynthTextToPosition(strText) : TextToInt(strText));
    m_bFromEdit = false;
}

void COptionsOscillatorPage::Fill()
{
    m_arrPairs[0].pBar->setValue(TruncatedPosition(m_settings.Frequency));
    m_arrPairs[1].pBar->setValue(TruncatedPosition(m_settings.Volume));
    m_arrPairs[2].pBar->setValue(SynthToPosition(m_settings.Synth));
    m_pSynthMode->setCurrentIndex(NearestItem(m_settings.SynthMode, m_pSynthMode->count()));
    m_pOscilatorMode->setCurrentIndex(NearestItem(m_settings.OscilatorMode, m_pOscilatorMode->count()));
    // The edits show the positions even where the position did not change.
    for (const SPair& pair : m_arrPairs)
        OnThumb(pair);
}

void COptionsOscillatorPage::Store()
{
    m_settings.Frequency = static_cast<float>(m_arrPairs[0].pBar->value());
    m_settings.Volume = static_cast<float>(m_arrPairs[1].pBar->value());
    m_settings.Synth = static_cast<float>(PositionToSynth(m_arrPairs[2].pBar->value()));
    m_settings.SynthMode = m_pSynthMode->currentIndex();
    m_settings.OscilatorMode = m_pOscilatorMode->currentIndex();
}
