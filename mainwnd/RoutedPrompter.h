// A prompter that passes everything on to another one, which can be swapped: the main window
// hands this one to its players once, and routes their messages elsewhere for a while (to be
// collected while files are added) without handing them anything new.
#pragma once

#include "platform/Prompter.h"

#include <atomic>

class CRoutedPrompter : public IPrompter
{
  public:
    explicit CRoutedPrompter(IPrompter& target) : m_pTarget(&target) {}

    IPrompter& Target() const { return *m_pTarget.load(); }
    // From now on everything goes to target, from every thread. The caller keeps it alive
    // until another target is set.
    void SetTarget(IPrompter& target) { m_pTarget.store(&target); }

    EAnswer Ask(const SMessage& message) override { return Target().Ask(message); }
    void Tell(const SMessage& message) override { Target().Tell(message); }
    std::string AskOpenPath(const std::string& strInitialFolder) override
    {
        return Target().AskOpenPath(strInitialFolder);
    }
    std::string AskSavePathAsChosen(const std::string& strTitle, const std::string& strInitialFolder) override
    {
        return Target().AskSavePathAsChosen(strTitle, strInitialFolder);
    }
    std::string AskFolder() override { return Target().AskFolder(); }
    std::string AskOpenFilePath(const std::string& strTitle, const std::string& strFilter,
                                const std::string& strInitialPath) override
    {
        return Target().AskOpenFilePath(strTitle, strFilter, strInitialPath);
    }
    std::string AskSaveFilePath(const std::string& strTitle, const std::string& strFilter,
                                const std::string& strInitialPath) override
    {
        return Target().AskSaveFilePath(strTitle, strFilter, strInitialPath);
    }
    bool OpenDocument(const std::string& strPath) override { return Target().OpenDocument(strPath); }
    bool IsWorkerAsking() const override { return Target().IsWorkerAsking(); }
    void EndWorkerMessages(bool bEnd) override { Target().EndWorkerMessages(bEnd); }

  private:
    std::atomic<IPrompter*> m_pTarget;
};
