#pragma once

#include "protocol/IZOKA_E_BOK.h"
#include "protocol/SoapCodec.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSslConfiguration>
#include <QString>
#include <QStringList>

#include <memory>

// The demo server executable started for a test: on 127.0.0.1, port 0, in a
// given data folder; stopped when the object goes. A server that does not end
// cleanly when stopped (a crash, a sanitizer report) fails the running test.
class ServerProcess
{
public:
    ServerProcess() = default;
    ~ServerProcess();
    ServerProcess(const ServerProcess &) = delete;
    ServerProcess &operator=(const ServerProcess &) = delete;

    // Starts the server with --port 0 --data `dataDir` and the extra
    // arguments; false (with the server's error output) when no port line
    // came within the timeout.
    bool Start(const QString &dataDir, const QStringList &extra = {}, QString *error = nullptr);
    // A command the server is started through, e.g. prlimit with its
    // arguments; it must exec the server, so that Pid() is the server's.
    void SetLauncher(const QStringList &command) { m_launcher = command; }
    qint64 Pid() const;
    // Sends SIGTERM and returns at once; Stop() then only waits for the end.
    void Terminate();
    void Stop();
    bool IsRunning() const;

    quint16 port() const { return m_port; }
    QString Url(const QString &host = QStringLiteral("localhost")) const;

    // Runs the executable for an operator command; answers the exit code.
    static int RunCommand(const QStringList &arguments, const QByteArray &input, QByteArray *output,
                          QByteArray *errors);

private:
    static void reportUncleanEnd(QProcess &process);

    std::unique_ptr<QProcess> m_process;
    QStringList m_launcher;
    quint16 m_port = 0;
    bool m_terminated = false;
};

// A client of the test: one network manager trusting the server's certificate
// (or nothing, for the refusal case), synchronous posts with a timeout.
class TestClient
{
public:
    // A request gets no answer after `timeoutMs` (then TimeoutError).
    explicit TestClient(const QString &caCertificatePath, int timeoutMs = 20000);

    struct Response
    {
        QNetworkReply::NetworkError error = QNetworkReply::NoError;
        QString errorText;
        int status = 0;
        QByteArray body;
    };

    Response Post(const QString &url, const QByteArray &body,
                  const QByteArray &contentType = QByteArrayLiteral("text/xml; charset=\"utf-8\""),
                  const QByteArray &soapAction = {});
    Response Get(const QString &url);

    // Writes the request of the operation with the client's codec and posts it.
    Response Call(const QString &url, std::string_view operation, const QList<SoapArgument> &arguments);

    QNetworkAccessManager &manager() { return m_manager; }

private:
    Response wait(QNetworkReply *reply);

    QNetworkAccessManager m_manager;
    QSslConfiguration m_tls;
    int m_timeoutMs;
};
