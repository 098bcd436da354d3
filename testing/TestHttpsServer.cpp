#include "testing/TestHttpsServer.h"

#include "protocol/IZOKA_E_BOK.h"

#include <QFile>
#include <QSslSocket>
#include <QTimer>

#include <memory>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 302: return "Found";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

} // namespace

TestHttpsServer::TestHttpsServer(const QString &certificateFile, const QString &keyFile, QObject *parent)
    : QTcpServer(parent),
      m_certificate(readFile(certificateFile), QSsl::Pem),
      m_key(readFile(keyFile), QSsl::Ec, QSsl::Pem)
{
    if (m_certificate.isNull() || m_key.isNull())
        qFatal("test certificate or key unusable");
}

bool TestHttpsServer::start()
{
    return listen(QHostAddress::LocalHost, 0);
}

QString TestHttpsServer::serviceUrl() const
{
    return QStringLiteral("https://127.0.0.1:%1%2")
        .arg(serverPort())
        .arg(QLatin1StringView(kServicePath.data(), qsizetype(kServicePath.size())));
}

void TestHttpsServer::incomingConnection(qintptr socketDescriptor)
{
    auto *socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(socketDescriptor)) {
        delete socket;
        return;
    }
    ++m_connections;
    socket->setLocalCertificate(m_certificate);
    socket->setPrivateKey(m_key);
    socket->setPeerVerifyMode(QSslSocket::VerifyNone);
    auto buffer = std::make_shared<QByteArray>();
    connect(socket, &QSslSocket::encrypted, this, [this]() { ++m_handshakes; });
    connect(socket, &QSslSocket::readyRead, this, [this, socket, buffer]() {
        *buffer += socket->readAll();
        serve(socket, *buffer);
    });
    connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
    // A client that refuses the certificate just goes away.
    connect(socket, &QSslSocket::errorOccurred, socket, [socket]() { socket->disconnectFromHost(); });
    socket->startServerEncryption();
}

void TestHttpsServer::serve(QSslSocket *socket, QByteArray &buffer)
{
    for (;;) {
        const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        Request request;
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        request.method = requestLine.value(0);
        request.target = requestLine.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
        }
        const qsizetype length = request.headers.value("content-length").toLongLong();
        if (buffer.size() < headerEnd + 4 + length)
            return;
        request.body = buffer.mid(headerEnd + 4, length);
        buffer.remove(0, headerEnd + 4 + length);
        m_requests.append(request);
        const Reply reply = m_handler ? m_handler(request) : Reply{};
        if (reply.delayMs > 0)
            QTimer::singleShot(reply.delayMs, socket, [this, socket, reply]() { send(socket, reply); });
        else
            send(socket, reply);
    }
}

void TestHttpsServer::send(QSslSocket *socket, const Reply &reply)
{
    if (reply.behaviour == Behaviour::Silent)
        return;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status) + "\r\n"
        + "Content-Type: text/xml; charset=utf-8\r\n";
    if (reply.status == 302)
        head += "Location: https://127.0.0.1:1/elsewhere\r\n";
    if (reply.behaviour == Behaviour::CloseWithoutLength) {
        socket->write(head + "Connection: close\r\n\r\n" + reply.body);
        socket->disconnectFromHost();
        return;
    }
    head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n\r\n";
    if (reply.behaviour == Behaviour::CloseHalfway) {
        socket->write(head + reply.body.left(reply.body.size() / 2));
        socket->disconnectFromHost();
        return;
    }
    socket->write(head + reply.body);
}
