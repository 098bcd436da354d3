#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringList>
#include <QVersionNumber>

#include <optional>

// The demo server's command line: how to run the service, or which operator
// command to carry out on its database.
class ServerOptions
{
public:
    enum class Command { Serve, ListTenants, CreateTenant, SetPassword, Help };
    // Deliberate misbehaviour for fault tests, applied to every answered request
    // (or only to one operation).
    enum class Fault { None, Slow, CloseHalfway, Http500, Malformed };

    Command command = Command::Serve;
    QString helpText; // with Command::Help

    QString dataDir;
    QString certificateFile; // empty = <data>/server-cert.pem, generated when missing
    QString keyFile; // empty = <data>/server-key.pem
    QHostAddress listenAddress = QHostAddress(QHostAddress::LocalHost);
    quint16 port = 8443;
    QVersionNumber minimumVersion{1, 3, 0, 0};
    double sessionMinutes = 15.0;
    double clockOffsetMinutes = 0.0;
    bool multiRef = false;
    qint64 maxBodyBytes = 1024 * 1024;
    bool resetDemo = false;
    Fault fault = Fault::None;
    QString faultOperation; // empty = every operation
    int faultDelayMs = 5000;
    int requestTimeoutSeconds = 30;
    int idleTimeoutSeconds = 60;
    int maxConnections = 0; // 0 = from the descriptor limit
    int maxConnectionsPerAddress = 0; // 0 = from maxConnections
    qint64 maxUnsentBytes = 256 * 1024;
    qint64 maxUnsentTotalBytes = 64 * 1024 * 1024;
    int drainTimeoutSeconds = 30;
    int maxQueuedDigests = 32;
    int maxQueuedDigestsPerAddress = 2;

    // Operator commands.
    QString login;
    std::optional<QString> password; // read from standard input when not given
    QString firstName;
    QString lastName;
    QString secondFirstName;
    QString secondLastName;
    QString street;
    QString town;
    qint64 cooperativeId = 1;

    QString DatabasePath() const;
    QString CertificatePath() const;
    QString KeyPath() const;

    // The options of the command line. --help gives Command::Help with the
    // text in helpText; an option that cannot be used throws AppError.
    static ServerOptions Parse(const QStringList &arguments);
};
