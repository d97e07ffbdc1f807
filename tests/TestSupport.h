// What many tests share: a temporary folder, a prompter that records questions and answers
// from a script, and a registry store in a temporary folder.
#pragma once

#include "platform/Prompter.h"
#include "platform/xdg/FileRegistryStore.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CTempFolder
{
  public:
    CTempFolder();
    ~CTempFolder();
    const std::string& Path() const { return m_strPath; }
    std::string File(const std::string& strName) const { return m_strPath + "/" + strName; }

  private:
    std::string m_strPath;
};

class CScriptedPrompter : public IPrompter
{
  public:
    EAnswer Ask(const SMessage& message) override;
    void Answer(EAnswer e) { m_answers.push_back(e); }

    // The file dialogs answer from these queues (an empty queue answers as Cancel does) and
    // note what they were asked: "open:<folder>", "save:<title>", "folder".
    std::string AskOpenPath(const std::string& strInitialFolder) override;
    std::string AskSavePathAsChosen(const std::string& strTitle,
                                    const std::string& strInitialFolder) override;
    std::string AskFolder() override;
    // Notes "file:<title>|<initial path>".
    std::string AskOpenFilePath(const std::string& strTitle, const std::string& strFilter,
                                const std::string& strInitialPath) override;
    // Notes "savefile:<title>|<initial path>".
    std::string AskSaveFilePath(const std::string& strTitle, const std::string& strFilter,
                                const std::string& strInitialPath) override;
    bool OpenDocument(const std::string& strPath) override;
    void AnswerPath(const std::string& strPath) { m_paths.push_back(strPath); }
    std::vector<std::string> m_dialogs;
    std::vector<std::string> m_documents;
    bool m_bDocumentsOpen = true; // false: the desktop has no program for documents
    // The folder each save dialog started in.
    std::vector<std::string> m_saveFolders;

    std::vector<SMessage> Messages() const;
    // "caption|text" of every message so far, for compact comparisons.
    std::vector<std::string> Lines() const;

    // While held, a question from a worker thread (any thread but the one that made this
    // prompter) stays open, as a box nobody has answered yet, until the hold is let go or the
    // window ends the workers' messages.
    void HoldWorkers(bool bHold);
    int WorkersHeld() const;
    bool IsWorkerAsking() const override { return WorkersHeld() > 0; }
    void EndWorkerMessages(bool bEnd) override;

  private:
    std::thread::id m_windowThread = std::this_thread::get_id();
    std::condition_variable m_cvHold;
    bool m_bHold = false;
    bool m_bEndWorkers = false;
    int m_nHeld = 0;
    mutable std::mutex m_mutex;
    std::vector<SMessage> m_messages;
    std::deque<EAnswer> m_answers;
    std::deque<std::string> m_paths;
    std::string NextPath();
};

// A registry with both roots in a temporary folder.
class CTempRegistry
{
  public:
    CTempRegistry();
    CFileRegistryStore& Store() { return *m_pStore; }
    std::string UserFile() const { return m_pStore->FilePath(ERoot::CurrentUser); }
    std::string MachineFile() const { return m_pStore->FilePath(ERoot::LocalMachine); }
    const CTempFolder& Folder() const { return m_folder; }

  private:
    CTempFolder m_folder;
    std::unique_ptr<CFileRegistryStore> m_pStore;
};

std::string ReadText(const std::string& strPath);
void WriteText(const std::string& strPath, const std::string& strText);
