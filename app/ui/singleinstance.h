// One running Wordfern per user: the first start listens on a local socket named
// "Wordfern_english"; a later start tells it to show its window and ends.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

class QWidget;

namespace wf {

inline constexpr char kInstanceName[] = "Wordfern_english";

class SingleInstanceGuard : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstanceGuard(QString name = kInstanceName, QObject* parent = nullptr);

    // True in the first instance, which then listens. False when a running instance answered;
    // it has been asked to show its window. A socket left behind by a crashed instance answers
    // nobody and is replaced.
    bool claim(const QString& executableName);

  signals:
    // A later start asked for the window; it runs under this executable name.
    void activationRequested(const QString& executableName);

  private:
    QString m_name;
    QLocalServer m_server;
};

// Returns only in the first instance; a later instance ends here with status 0.
void EnsureSingleInstance(SingleInstanceGuard& guard, const QString& executableName);

// The top-level window a later start brings to the front: the given main window when it is
// visible, else any other visible window; none when every window is hidden or when the later
// start runs under another executable name (compared without letter case).
QWidget* windowToActivate(QWidget* mainWindow, const QString& ownName, const QString& requester);

}  // namespace wf
