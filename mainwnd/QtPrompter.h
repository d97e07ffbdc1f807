// The window's backend of the Prompter: Qt message boxes and file dialogs, handed over to the
// window thread when a worker thread asks.
#pragma once

#include "platform/Prompter.h"

#include <QPointer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class QMessageBox;

class CQtPrompter : public IPrompter
{
  public:
    // Boxes that belong to the main window are centred on it.
    void SetOwner(QWidget* pOwner) { m_pOwner = pOwner; }

    EAnswer Ask(const SMessage& message) override;
    void Tell(const SMessage& message) override;
    std::string AskOpenPath(const std::string& strInitialFolder) override;
    std::string AskSavePathAsChosen(const std::string& strTitle,
                                    const std::string& strInitialFolder) override;
    std::string AskFolder() override;
    std::string AskOpenFilePath(const std::string& strTitle, const std::string& strFilter,
                                const std::string& strInitialPath) override;
    std::string AskSaveFilePath(const std::string& strTitle, const std::string& strFilter,
                                const std::string& strInitialPath) override;
    bool OpenDocument(const std::string& strPath) override;
    bool IsWorkerAsking() const override { return m_nWorkerAsks > 0; }
    void EndWorkerMessages(bool bEnd) override;

  private:
    EAnswer AskOnWindowThread(const SMessage& message);
    // A worker's box is shown without an event loop of its own: the window thread goes on in
    // the loop it was in, and nothing it does later can sit on top of the box's loop and wait
    // for the worker that waits for the box.
    EAnswer AskForWorker(const SMessage& message);
    // Shows a box on the window thread without a loop of its own; fAnswer hears how it was
    // closed. The program's end closes it.
    void ShowWithoutLoop(const SMessage& message, std::function<void(EAnswer)> fAnswer);
    QPointer<QWidget> m_pOwner;
    std::atomic<int> m_nWorkerAsks{0};
    std::atomic<bool> m_bEndWorkers{false};
    std::vector<QPointer<QMessageBox>> m_arrWorkerBoxes; // window thread only
    // A told message queued for the window thread shows itself only while this prompter lives.
    std::shared_ptr<int> m_pAlive = std::make_shared<int>(0);
};
