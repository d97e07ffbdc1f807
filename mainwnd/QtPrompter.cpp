#include "mainwnd/QtPrompter.h"

#include "app/Messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>
#include <QUrl>

namespace
{
QString Q(const std::string& str) { return QString::fromStdString(str); }
std::string S(const QString& str) { return str.toStdString(); }
} // namespace

EAnswer CQtPrompter::Ask(const SMessage& message)
{
    if (QThread::currentThread() == qApp->thread())
        return AskOnWindowThread(message);
    // A worker thread waits for the answer; the box itself lives on the window thread, whose
    // event loop keeps running while it is shown.
    EAnswer eAnswer = EAnswer::Ok;
    QMetaObject::invokeMethod(
        qApp, [&] { eAnswer = AskOnWindowThread(message); }, Qt::BlockingQueuedConnection);
    return eAnswer;
}

EAnswer CQtPrompter::AskOnWindowThread(const SMessage& message)
{
    QMessageBox box(message.bOwned ? m_pOwner.data() : nullptr);
    box.setWindowTitle(Q(message.strCaption));
    box.setText(Q(message.strText));
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
    // Russian button texts, whatever translations Qt finds.
    if (auto* p = box.button(QMessageBox::Yes))
        p->setText(QString::fromUtf8("Да"));
    if (auto* p = box.button(QMessageBox::No))
        p->setText(QString::fromUtf8("Нет"));
    if (auto* p = box.button(QMessageBox::Cancel))
        p->setText(QString::fromUtf8("Отмена"));
    switch (box.exec())
    {
    case QMessageBox::Yes:
        return EAnswer::Yes;
    case QMessageBox::No:
        return EAnswer::No;
    case QMessageBox::Cancel:
        return EAnswer::Cancel;
    default:
        return message.eButtons == EButtons::YesNoCancel ? EAnswer::Cancel : EAnswer::Ok;
    }
}

std::string CQtPrompter::AskOpenPath(const std::string& strInitialFolder)
{
    const QString strFilters = QString::fromUtf8(Msg::kOpenFilters);
    return S(QFileDialog::getOpenFileName(m_pOwner, QString::fromUtf8(Msg::kOpenTitle), Q(strInitialFolder),
                                          strFilters));
}

std::string CQtPrompter::AskSavePathAsChosen(const std::string& strTitle, const std::string& strInitialFolder)
{
    // The dialog's own replace question would see the name before ".tgp" is added to it; the
    // main window asks about the completed name instead.
    return S(QFileDialog::getSaveFileName(m_pOwner, Q(strTitle), Q(strInitialFolder),
                                          QString::fromUtf8(Msg::kProjectFilter), nullptr,
                                          QFileDialog::DontConfirmOverwrite));
}

std::string CQtPrompter::AskFolder()
{
    return S(QFileDialog::getExistingDirectory(m_pOwner, QString::fromUtf8(Msg::kOpenFolderTitle)));
}

std::string CQtPrompter::AskOpenFilePath(const std::string& strTitle, const std::string& strFilter,
                                         const std::string& strInitialPath)
{
    // The dialog in front is the one that asks (the Options dialog), not always the main window.
    QWidget* pParent = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : m_pOwner.data();
    return S(QFileDialog::getOpenFileName(pParent, Q(strTitle), Q(strInitialPath), Q(strFilter)));
}

bool CQtPrompter::OpenDocument(const std::string& strPath)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(Q(strPath)));
}
