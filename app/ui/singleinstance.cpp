#include "app/ui/singleinstance.h"

#include <QApplication>
#include <QLocalSocket>
#include <QWidget>
#include <cstdlib>

namespace wf {

namespace {
constexpr int kConnectTimeoutMs = 1000;
}

SingleInstanceGuard::SingleInstanceGuard(QString name, QObject* parent)
    : QObject(parent), m_name(std::move(name)) {
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine()) return;
                QString requester = QString::fromUtf8(socket->readLine()).trimmed();
                socket->disconnectFromServer();
                emit activationRequested(requester);
            });
        }
    });
}

bool SingleInstanceGuard::claim(const QString& executableName) {
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (probe.waitForConnected(kConnectTimeoutMs)) {
        probe.write(executableName.toUtf8() + "\n");
        probe.waitForBytesWritten(kConnectTimeoutMs);
        probe.disconnectFromServer();
        return false;
    }
    // Nobody answered: whatever socket file is there was left by an instance that crashed.
    QLocalServer::removeServer(m_name);
    m_server.listen(m_name);  // a failure only loses the activation of this instance
    return true;
}

void EnsureSingleInstance(SingleInstanceGuard& guard, const QString& executableName) {
    if (!guard.claim(executableName)) std::exit(0);
}

QWidget* windowToActivate(QWidget* mainWindow, const QString& ownName, const QString& requester) {
    if (ownName.compare(requester, Qt::CaseInsensitive) != 0) return nullptr;
    if (mainWindow && mainWindow->isVisible()) return mainWindow;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isWindow() && widget->isVisible() && widget->windowType() == Qt::Window) {
            return widget;
        }
    }
    return nullptr;
}

}  // namespace wf
