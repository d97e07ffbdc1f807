// The English texts installed on the application for as long as this object lives; main()
// owns the one object. Russian, the language the texts are written in, needs no translator.
#pragma once

#include "app/Language.h"

#include <memory>

class QTranslator;

class CTranslation
{
  public:
    explicit CTranslation(ELanguage eLanguage);
    ~CTranslation();
    CTranslation(const CTranslation&) = delete;
    CTranslation& operator=(const CTranslation&) = delete;

    // false when English was asked for and its texts could not be loaded (the program then
    // speaks Russian).
    bool IsLoaded() const { return m_eLanguage == ELanguage::Russian || m_pTranslator != nullptr; }

  private:
    ELanguage m_eLanguage;
    std::unique_ptr<QTranslator> m_pTranslator;
};
