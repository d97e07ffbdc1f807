#include "about/AboutDlg.h"

#include "about/AboutTexts.h"
#include "about/ProgramVersion.h"
#include "about/UpdateCheck.h"
#include "app/Settings.h"
#include "lang/Translate.h"
#include "mainwnd/DialogUnits.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

namespace
{
const QSize kDialogSize(269, 98);
const QRect kIconRect(14, 14, 20, 20);
const QRect kVersionRect(51, 22, 145, 8);
const QRect kOfferedRect(51, 33, 150, 9);
const QRect kUpdateRect(193, 34, 59, 9);
const QRect kNoteRect(51, 41, 135, 9);
const QRect kNoticeRect(37, 66, 114, 8);
const QRect kOkRect(212, 77, 50, 14);

QString Text(const char* p)
{
    return Tr(p);
}

QString Text(const std::string& str)
{
    return QString::fromUtf8(str.data(), static_cast<qsizetype>(str.size()));
}

void Place(QWidget* pControl, int nId, const QRect& rect)
{
    if (nId != 0)
        pControl->setObjectName(QStringLiteral("id%1").arg(nId));
    pControl->setGeometry(DialogUnitsToPixels(DialogFont(), rect));
}

QLabel* MakeLabel(QWidget* pParent, int nId, const QRect& rect, const QString& strText)
{
    auto* pLabel = new QLabel(strText, pParent);
    pLabel->setTextFormat(Qt::PlainText);
    Place(pLabel, nId, rect);
    return pLabel;
}

// The check's lines handed to the box on the window thread. A call still queued when the box
// is destroyed is dropped with it.
class CQueuedView : public IUpdateView
{
  public:
    CQueuedView(CAboutDlg* pDlg, QLabel* pOffered, QLabel* pNote, QPushButton* pUpdate)
        : m_pDlg(pDlg), m_pOffered(pOffered), m_pNote(pNote), m_pUpdate(pUpdate)
    {
    }
    void SetOfferedLine(const std::string& str) override
    {
        QLabel* p = m_pOffered;
        Post([p, s = Text(str)] { p->setText(s); });
    }
    void SetNoteLine(const std::string& str) override
    {
        QLabel* p = m_pNote;
        Post([p, s = Text(str)] { p->setText(s); });
    }
    void SetOfferedText(const TextPieces& arrText) override
    {
        QLabel* p = m_pOffered;
        Post([p, s = Tr(arrText)] { p->setText(s); });
    }
    void SetNoteText(const TextPieces& arrText) override
    {
        QLabel* p = m_pNote;
        Post([p, s = Tr(arrText)] { p->setText(s); });
    }
    void ShowUpdateButton() override
    {
        QPushButton* p = m_pUpdate;
        Post(
            [p]
            {
                p->setEnabled(true);
                p->show();
            });
    }
    template <class F> void Post(F f)
    {
        QMetaObject::invokeMethod(m_pDlg, std::move(f), Qt::QueuedConnection);
    }

  private:
    CAboutDlg* m_pDlg;
    QLabel* m_pOffered;
    QLabel* m_pNote;
    QPushButton* m_pUpdate;
};
} // namespace

CAboutDlg::CAboutDlg(const CSettings& settings, FUpdateSessionFactory fSession, const QIcon& icon,
                     std::string strVersion, QWidget* pParent)
    : QDialog(pParent), m_settings(settings), m_fSession(std::move(fSession)),
      m_strVersion(std::move(strVersion)),
      m_fOpenUrl([](const QString& strUrl) { QDesktopServices::openUrl(QUrl(strUrl)); })
{
    setWindowTitle(Text(AboutTxt::kCaption));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFont(DialogFont());
    setFixedSize(DialogUnitsToPixels(DialogFont(), QRect(QPoint(0, 0), kDialogSize)).size());

    auto* pIcon = new QLabel(this);
    Place(pIcon, 0, kIconRect);
    pIcon->setPixmap(icon.pixmap(pIcon->size()));
    m_pVersion = MakeLabel(this, AboutId::Version, kVersionRect, Text(AboutTxt::kVersionInitial));
    m_pOffered = MakeLabel(this, AboutId::Offered, kOfferedRect, Text(AboutTxt::kOfferedInitial));
    m_pUpdate = new QPushButton(Text(AboutTxt::kUpdate), this);
    Place(m_pUpdate, AboutId::Update, kUpdateRect);
    m_pUpdate->hide();
    m_pNote = MakeLabel(this, AboutId::Note, kNoteRect, Text(AboutTxt::kUpdated));
    MakeLabel(this, 0, kNoticeRect, Text(AboutTxt::kNotice));
    auto* pOk = new QPushButton(Text(AboutTxt::kOk), this);
    pOk->setDefault(true);
    Place(pOk, AboutId::Ok, kOkRect);
    connect(pOk, &QPushButton::clicked, this, &CAboutDlg::accept);
    connect(m_pUpdate, &QPushButton::clicked, this, &CAboutDlg::OnUpdate);

    OnInitDialog();
}

CAboutDlg::~CAboutDlg()
{
    StopCheck();
    if (m_worker.joinable())
        m_worker.join();
}

void CAboutDlg::OnInitDialog()
{
    m_pVersion->setText(Text(AboutTxt::kVersionPrefix + m_strVersion));
    // Read at every opening: a changed host takes effect without a restart.
    m_strServer = ConfiguredUpdateServer(m_settings);
    StartCheck();
}

void CAboutDlg::StartCheck()
{
    m_pSession = m_fSession ? m_fSession() : nullptr;
    if (!m_pSession)
        return;
    m_bChecking = true;
    CQueuedView view(this, m_pOffered, m_pNote, m_pUpdate);
    m_worker = std::thread(
        [view, pSession = m_pSession.get(), strServer = m_strServer, strVersion = m_strVersion,
         strCodePage = m_settings.CodePage(), this]() mutable
        {
            CheckForUpdate(*pSession, strServer, strVersion, strCodePage, view);
            view.Post(
                [this]
                {
                    m_bChecking = false;
                    emit CheckFinished();
                });
        });
}

void CAboutDlg::StopCheck()
{
    if (m_pSession)
        m_pSession->Cancel();
}

void CAboutDlg::done(int nResult)
{
    // The box goes at once; the check ends with it instead of finishing its wait.
    StopCheck();
    QDialog::done(nResult);
}

void CAboutDlg::OnUpdate()
{
    m_fOpenUrl(Text(m_strServer + kDownloadPagePath));
}

void RunAboutDialog(QWidget* pParent, const CSettings& settings, const FUpdateSessionFactory& fSession)
{
    CAboutDlg dlg(settings, fSession, pParent ? pParent->windowIcon() : QIcon(), ProgramVersion(), pParent);
    dlg.exec();
}
