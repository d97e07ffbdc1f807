#include "mainwnd/QtPrompter.h"

#include "app/Messages.h"
#include "lang/Translate.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <future>
#include <memory>

namespace
{
QString Q(const std::string& str)
{
    return QString::fromStdString(str);
}
std::string S(const QString& str)
{
    return str.toStdString();
}

// What a box closed without a button (Esc, its close box, the program ending) answers.
EAnswer DefaultAnswer(const SMessage& message)
{
    return message.eButtons == EButtons::YesNoCancel || message.eButtons == EButtons::OkCancel
               ? EAnswer::Cancel
               : EAnswer::Ok;
}

EAnswer AnswerOf(QMessageBox::StandardButton eButton, const SMessage& message)
{
    switch (eButton)
    {
    case QMessageBox::Yes:
        return EAnswer::Yes;
    case QMessageBox::No:
        return EAnswer::No;
    case QMessageBox::Cancel:
        return EAnswer::Cancel;
    case QMessageBox::Ok:
        return EAnswer::Ok;
    default:
        return DefaultAnswer(message);
    }
}

void SetUp(QMessageBox& box, const SMessage& message);
} // namespace

EAnswer CQtPrompter::Ask(const SMessage& message)
{
    if (QThread::currentThread() == qApp->thread())
        return AskOnWindowThread(message);
    return AskForWorker(message);
}

EAnswer CQtPrompter::AskForWorker(const SMessage& message)
{
    if (m_bEndWorkers)
        return DefaultAnswer(message);
    ++m_nWorkerAsks;
    auto pAnswer = std::make_shared<std::promise<EAnswer>>();
    std::future<EAnswer> answer = pAnswer->get_future();
    QMetaObject::invokeMethod(
        qApp,
        [this, pAnswer, message]
        {
            if (m_bEndWorkers)
            {
                pAnswer->set_value(DefaultAnswer(message));
                return;
            }
            ShowWithoutLoop(message, [pAnswer](EAnswer eAnswer) { pAnswer->set_value(eAnswer); });
        },
        Qt::QueuedConnection);
    const EAnswer eAnswer = answer.get();
    --m_nWorkerAsks;
    return eAnswer;
}

void CQtPrompter::Tell(const SMessage& message)
{
    // Queued even on the window thread: the teller may be in the middle of something (holding
    // the outputs' lock) that a box's own loop must not run into.
    std::weak_ptr<int> pAlive = m_pAlive;
    QMetaObject::invokeMethod(
        qApp,
        [this, pAlive, message]
        {
            if (pAlive.expired() || m_bEndWorkers)
                return;
            ShowWithoutLoop(message, [](EAnswer) {});
        },
        Qt::QueuedConnection);
}

void CQtPrompter::ShowWithoutLoop(const SMessage& message, std::function<void(EAnswer)> fAnswer)
{
    auto* pBox = new QMessageBox();
    SetUp(*pBox, message);
    pBox->setAttribute(Qt::WA_DeleteOnClose);
    // Modal for the user's clicks, but no loop of its own: the answer comes back through the
    // signal, in whatever loop the window thread runs then.
    pBox->setWindowModality(Qt::ApplicationModal);
    QObject::connect(pBox, &QMessageBox::finished, pBox,
                     [pBox, fAnswer = std::move(fAnswer), message]
                     { fAnswer(AnswerOf(pBox->standardButton(pBox->clickedButton()), message)); });
    m_arrWorkerBoxes.erase(std::remove(m_arrWorkerBoxes.begin(), m_arrWorkerBoxes.end(), nullptr),
                           m_arrWorkerBoxes.end());
    m_arrWorkerBoxes.emplace_back(pBox);
    pBox->show();
}

void CQtPrompter::EndWorkerMessages(bool bEnd)
{
    m_bEndWorkers = bEnd;
    if (!bEnd || QThread::currentThread() != qApp->thread())
        return;
    const std::vector<QPointer<QMessageBox>> arrBoxes = std::move(m_arrWorkerBoxes);
    m_arrWorkerBoxes.clear();
    for (const QPointer<QMessageBox>& pBox : arrBoxes)
    {
        if (pBox)
            pBox->done(QMessageBox::Cancel); // answers the worker through finished()
    }
    // Boxes asked for but not yet shown answer themselves when their turn comes.
    QCoreApplication::sendPostedEvents(qApp, QEvent::MetaCall);
}

EAnswer CQtPrompter::AskOnWindowThread(const SMessage& message)
{
    QMessageBox box(message.bOwned ? m_pOwner.data() : nullptr);
    SetUp(box, message);
    return AnswerOf(static_cast<QMessageBox::StandardButton>(box.exec()), message);
}

namespace
{
void SetUp(QMessageBox& box, const SMessage& message)
{
    // The engine's texts are shown in the program's language: our pieces translated and the
    // values kept, or the whole text when it is one of ours.
    box.setWindowTitle(Tr(message.strCaption));
    box.setText(message.arrPieces.empty() ? Tr(message.strText) : Tr(message.arrPieces));
    switch (message.eIcon)
    {
    case EIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case EIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case EIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case EIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case EIcon::None:
        break;
    }
    switch (message.eButtons)
    {
    case EButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case EButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case EButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case EButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    // The program's own button texts, whatever translations Qt finds.
    if (auto* p = box.button(QMessageBox::Yes))
        p->setText(Tr(TG_TR_NOOP("Tonegrove", "Да")));
    if (auto* p = box.button(QMessageBox::No))
        p->setText(Tr(TG_TR_NOOP("Tonegrove", "Нет")));
    if (auto* p = box.button(QMessageBox::Cancel))
        p->setText(Tr(TG_TR_NOOP("Tonegrove", "Отмена")));
}
} // namespace

std::string CQtPrompter::AskOpenPath(const std::string& strInitialFolder)
{
    const QString strFilters = Tr(Msg::kOpenFilters);
    return S(QFileDialog::getOpenFileName(m_pOwner, Tr(Msg::kOpenTitle), Q(strInitialFolder), strFilters));
}

std::string CQtPrompter::AskSavePathAsChosen(const std::string& strTitle, const std::string& strInitialFolder)
{
    // The dialog's own replace question would see the name before ".tgp" is added to it; the
    // main window asks about the completed name instead.
    return S(QFileDialog::getSaveFileName(m_pOwner, Tr(strTitle), Q(strInitialFolder),
                                          Tr(Msg::kProjectFilter), nullptr,
                                          QFileDialog::DontConfirmOverwrite));
}

std::string CQtPrompter::AskFolder()
{
    return S(QFileDialog::getExistingDirectory(m_pOwner, Tr(Msg::kOpenFolderTitle)));
}

std::string CQtPrompter::AskOpenFilePath(const std::string& strTitle, const std::string& strFilter,
                                         const std::string& strInitialPath)
{
    // The dialog in front is the one that asks (the Options dialog), not always the main window.
    QWidget* pParent =
        QApplication::activeModalWidget() ? QApplication::activeModalWidget() : m_pOwner.data();
    return S(QFileDialog::getOpenFileName(pParent, Tr(strTitle), Q(strInitialPath), Tr(strFilter)));
}

std::string CQtPrompter::AskSaveFilePath(const std::string& strTitle, const std::string& strFilter,
                                         const std::string& strInitialPath)
{
    return S(QFileDialog::getSaveFileName(m_pOwner, Tr(strTitle), Q(strInitialPath), Tr(strFilter)));
}

bool CQtPrompter::OpenDocument(const std::string& strPath)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(Q(strPath)));
}
