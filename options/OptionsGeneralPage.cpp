#include "options/OptionsGeneralPage.h"

#include "app/Settings.h"
#include "mainwnd/DialogUnits.h"
#include "options/OptionsControls.h"
#include "options/OptionsIds.h"
#include "options/OptionsTexts.h"
#include "options/OptionsValues.h"

#include <QCheckBox>

COptionsGeneralPage::COptionsGeneralPage(CSettings& settings, QWidget* pParent)
    : QWidget(pParent), m_settings(settings)
{
    setFont(DialogFont());
    // Group boxes first: the controls drawn over them come later.
    MakeGroup(this, OptId::KeyboardGroup, {7, 9, 310, 49}, OptTxt::kKeyboardGroup);
    MakeGroup(this, OptId::ProjectGroup, {5, 64, 310, 31}, OptTxt::kProjectGroup);
    MakeGroup(this, OptId::PlayGroup, {3, 100, 309, 55}, OptTxt::kPlayGroup);

    m_pExtView = new QCheckBox(OptText(OptTxt::kExtView), this);
    PlaceControl(m_pExtView, OptId::ExtView, {11, 19, 242, 12});
    m_pMusicType = MakeList(this, OptId::MusicType, {11, 39, 298, 17}, OptTxt::kMusicTypes);
    m_pProjectType = MakeList(this, OptId::ProjectType, {11, 75, 298, 12}, OptTxt::kProjectTypes);
    m_pAllPlay = new QCheckBox(OptText(OptTxt::kAllPlay), this);
    PlaceControl(m_pAllPlay, OptId::AllPlay, {18, 111, 274, 14});
    m_pPlayNoEnd = new QCheckBox(OptText(OptTxt::kPlayNoEnd), this);
    PlaceControl(m_pPlayNoEnd, OptId::PlayNoEnd, {18, 127, 291, 13});
}

void COptionsGeneralPage::Fill()
{
    m_pExtView->setChecked(m_settings.ExtView);
    m_pMusicType->setCurrentIndex(NearestItem(m_settings.MusicType, m_pMusicType->count()));
    m_pProjectType->setCurrentIndex(NearestItem(m_settings.ProjectType, m_pProjectType->count()));
    m_pAllPlay->setChecked(m_settings.AllPlay);
    m_pPlayNoEnd->setChecked(m_settings.PlayNoEnd);
}

void COptionsGeneralPage::Store()
{
    m_settings.AllPlay = m_pAllPlay->isChecked();
    m_settings.PlayNoEnd = m_pPlayNoEnd->isChecked();
    m_settings.MusicType = m_pMusicType->currentIndex();
    m_settings.ProjectType = m_pProjectType->currentIndex();
}

bool COptionsGeneralPage::IsExtViewChecked() const
{
    return m_pExtView->isChecked();
}
