// The window's backend of the Prompter: Qt message boxes and file dialogs, handed over to the
// window thread when a worker thread asks.
#pragma once

#include "platform/Prompter.h"

#include <QPointer>
#include <QWidget>

class CQtPrompter : public IPrompter
{
  public:
    // Boxes that belong to the main window are centred on it.
    void SetOwner(QWidget* pOwner) { m_pOwner = pOwner; }

    EAnswer Ask(const SMessage& message) override;
    std::string AskOpenPath(const std::string& strInitialFolder) override;
    std::string AskSavePathAsChosen(const std::string& strTitle,
                                    const std::string& strInitialFolder) override;
    std::string AskFolder() override;
    std::string AskOpenFilePath(const std::string& strTitle, const std::string& strFilter,
                                const std::string& strInitialPath) override;
    bool OpenDocument(const std::string& strPath) override;

  private:
    EAnswer AskOnWindowThread(const SMessage& message);
    QPointer<QWidget> m_pOwner;
};
