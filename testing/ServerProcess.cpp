#include "testing/ServerProcess.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
constexpr int kStartTimeoutMs = 60000;
// Room for the leak check of a sanitizer build on a loaded machine.
constexpr int kStopTimeoutMs = 30000;
} // namespace

ServerProcess::~ServerProcess()
{
    Stop();
}

bool ServerProcess::Start(const QString &dataDir, const QStringList &extra, QString *error)
{
    Stop();
    m_process = std::make_unique<QProcess>();
    const QStringList arguments = QStringList{u"--port"_s, u"0"_s, u"--data"_s, dataDir} + extra;
    if (m_launcher.isEmpty()) {
        m_process->setProgram(QStringLiteral(DOMVEL_SERVER_EXE));
        m_process->setArguments(arguments);
    } else {
        m_process->setProgram(m_launcher.first());
        m_process->setArguments(m_launcher.mid(1) + QStringList{QStringLiteral(DOMVEL_SERVER_EXE)} + arguments);
    }
    m_process->start();
    QByteArray output;
    QDeadlineTimer deadline(kStartTimeoutMs);
    while (!deadline.hasExpired() && m_process->state() != QProcess::NotRunning) {
        m_process->waitForReadyRead(200);
        output += m_process->readAllStandardOutput();
        for (const QByteArray &line : output.split('\n')) {
            if (line.startsWith("port: ")) {
                m_port = static_cast<quint16>(line.mid(6).trimmed().toUInt());
                return m_port != 0;
            }
        }
    }
    if (error)
        *error = QString::fromUtf8(m_process->readAllStandardError());
    Stop();
    return false;
}

void ServerProcess::Terminate()
{
    if (m_process && m_process->state() != QProcess::NotRunning && !m_terminated) {
        m_process->terminate();
        m_terminated = true;
    }
}

void ServerProcess::Stop()
{
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        // SIGTERM ends the server's event loop; it then leaves main() with 0.
        // In a sanitizer build that is also when its leak check runs. A
        // second one could end it before that.
        Terminate();
        if (!m_process->waitForFinished(kStopTimeoutMs)) {
            m_process->kill();
            m_process->waitForFinished(5000);
        }
        reportUncleanEnd(*m_process);
    }
    m_process.reset();
    m_port = 0;
    m_terminated = false;
}

void ServerProcess::reportUncleanEnd(QProcess &process)
{
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return;
    // A sanitizer report or a crash of the server fails the test that ran it:
    // the test process ends here with the server's error output.
    const QByteArray errors = process.readAllStandardError();
    const QByteArray message = "the demo server did not end cleanly on SIGTERM (exit status "
        + QByteArray::number(int(process.exitStatus())) + ", code " + QByteArray::number(process.exitCode())
        + "); its error output:\n" + errors;
    qFatal("%s", message.constData());
}

qint64 ServerProcess::Pid() const
{
    return m_process ? m_process->processId() : 0;
}

bool ServerProcess::IsRunning() const
{
    return m_process && m_process->state() == QProcess::Running;
}

QString ServerProcess::Url(const QString &host) const
{
    return u"https://%1:%2%3"_s.arg(host).arg(m_port).arg(
        QLatin1StringView(kServicePath.data(), qsizetype(kServicePath.size())));
}

int ServerProcess::RunCommand(const QStringList &arguments, const QByteArray &input, QByteArray *output,
                              QByteArray *errors)
{
    QProcess process;
    process.start(QStringLiteral(DOMVEL_SERVER_EXE), arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(kStartTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (output)
        *output = process.readAllStandardOutput();
    if (errors)
        *errors = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

TestClient::TestClient(const QString &caCertificatePath, int timeoutMs)
    : m_tls(QSslConfiguration::defaultConfiguration()), m_timeoutMs(timeoutMs)
{
    if (!caCertificatePath.isEmpty())
        m_tls.addCaCertificates(QSslCertificate::fromPath(caCertificatePath));
}

TestClient::Response TestClient::wait(QNetworkReply *reply)
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(m_timeoutMs);
    loop.exec();
    Response response;
    if (!reply->isFinished()) {
        reply->abort();
        response.error = QNetworkReply::TimeoutError;
        response.errorText = u"no answer in time"_s;
    } else {
        response.error = reply->error();
        response.errorText = reply->errorString();
        response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        response.body = reply->readAll();
    }
    reply->deleteLater();
    return response;
}

TestClient::Response TestClient::Post(const QString &url, const QByteArray &body, const QByteArray &contentType,
                                      const QByteArray &soapAction)
{
    QNetworkRequest request{QUrl(url)};
    request.setSslConfiguration(m_tls);
    request.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    if (!soapAction.isEmpty())
        request.setRawHeader("SOAPAction", soapAction);
    return wait(m_manager.post(request, body));
}

TestClient::Response TestClient::Get(const QString &url)
{
    QNetworkRequest request{QUrl(url)};
    request.setSslConfiguration(m_tls);
    return wait(m_manager.get(request));
}

TestClient::Response TestClient::Call(const QString &url, std::string_view operation,
                                      const QList<SoapArgument> &arguments)
{
    const OperationInfo *info = FindOperation(operation);
    if (!info)
        return Response{QNetworkReply::ProtocolFailure, u"unknown operation"_s, 0, {}};
    const ServiceResult<QByteArray> body = SoapCodec::WriteRequest(*info, arguments);
    if (!body.ok())
        return Response{QNetworkReply::ProtocolFailure, body.failure().detail, 0, {}};
    return Post(url, body.value(), QByteArrayLiteral("text/xml; charset=\"utf-8\""), SoapCodec::SoapAction(operation));
}
