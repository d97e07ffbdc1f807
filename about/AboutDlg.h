// The About box: the running version, and what the update server offers. It shows itself at
// once; the update check runs on a worker thread of its own, whose lines reach the controls on
// the window thread, and closing the box ends the check at once.
#pragma once

#include "platform/UpdateSession.h"

#include <QDialog>
#include <QIcon>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

class CSettings;
class QLabel;
class QPushButton;

namespace AboutId
{
inline constexpr int Version = 1103;
inline constexpr int Offered = 1104;
inline constexpr int Update = 1105;
inline constexpr int Note = 1106;
inline constexpr int Ok = 1;
} // namespace AboutId

class CAboutDlg : public QDialog
{
    Q_OBJECT

  public:
    // fSession: the downloads (none: no check, the lines keep their first texts). strVersion:
    // the running version, four numbers. The server is read from the settings and the
    // environment when the box opens.
    CAboutDlg(const CSettings& settings, FUpdateSessionFactory fSession, const QIcon& icon,
              std::string strVersion, QWidget* pParent = nullptr);
    ~CAboutDlg() override;

    const std::string& Version() const { return m_strVersion; }
    const std::string& Server() const { return m_strServer; }
    bool IsChecking() const { return m_bChecking; }
    // What "Обновить" opens the download page with (by default the desktop's browser).
    void SetUrlOpener(std::function<void(const QString&)> fOpen) { m_fOpenUrl = std::move(fOpen); }

  signals:
    // The check has ended (both downloads finished, failed or cancelled); on the window thread.
    void CheckFinished();

  public slots:
    void done(int nResult) override;

  private:
    void OnInitDialog();
    void StartCheck();
    void StopCheck();
    void OnUpdate();

    const CSettings& m_settings;
    FUpdateSessionFactory m_fSession;
    std::string m_strVersion;
    std::string m_strServer;
    std::function<void(const QString&)> m_fOpenUrl;
    QLabel* m_pVersion = nullptr;
    QLabel* m_pOffered = nullptr;
    QPushButton* m_pUpdate = nullptr;
    QLabel* m_pNote = nullptr;
    std::unique_ptr<IUpdateSession> m_pSession;
    std::thread m_worker;
    bool m_bChecking = false;
};

// Runs the About box modally over pParent, with the program's own version and pParent's icon.
void RunAboutDialog(QWidget* pParent, const CSettings& settings, const FUpdateSessionFactory& fSession);
