#include "lang/Translation.h"

#include <QCoreApplication>
#include <QTranslator>

CTranslation::CTranslation(ELanguage eLanguage) : m_eLanguage(eLanguage)
{
    if (eLanguage != ELanguage::English)
        return;
    // Built from resources/translations/tonegrove_en.ts into the program's resources.
    auto pTranslator = std::make_unique<QTranslator>();
    if (!pTranslator->load(QStringLiteral(":/translations/tonegrove_en.qm")))
        return;
    QCoreApplication::installTranslator(pTranslator.get());
    m_pTranslator = std::move(pTranslator);
}

CTranslation::~CTranslation()
{
    if (m_pTranslator && QCoreApplication::instance())
        QCoreApplication::removeTranslator(m_pTranslator.get());
}
