#pragma once

#include "protocol/IZOKA_E_BOK.h"
#include "protocol/SoapCodec.h"
#include "protocol/TrustedCertificates.h"

#include <QByteArray>
#include <QObject>
#include <QUrl>

#include <chrono>
#include <memory>
#include <string_view>

class QDeadlineTimer;
class QNetworkAccessManager;
class ZOKA_E_BOK_Proxy;

// The connection to the service: the service URL and one HTTPS client that
// keeps its connection alive between calls, writes nothing to a cache and
// verifies the server's certificate (TrustedCertificates). A call blocks the
// user's input but not painting: it waits in a local event loop that excludes
// user input, under the wait cursor. Every call ends within its timeout and
// reads at most the answer-size cap; each failure comes back as a
// ServiceFailure (Transport, Tls, Timeout, Http, TooLarge, Fault).
class THTTPRIO : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kDefaultTimeout{30'000};
    static constexpr qint64 kDefaultMaxAnswerSize = SoapCodec::kDefaultMaxMessageSize;

    explicit THTTPRIO(QObject *parent = nullptr);
    ~THTTPRIO() override;

    void SetURL(const QString &url);
    QString URL() const { return m_url.toString(); }

    // The longest a whole call may take, connection and answer included.
    void SetTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
    std::chrono::milliseconds Timeout() const { return m_timeout; }

    // The largest answer body read, in bytes; a call is cut off as soon as
    // its answer exceeds it.
    void SetMaxAnswerSize(qint64 bytes) { m_maxAnswerSize = bytes; }
    qint64 MaxAnswerSize() const { return m_maxAnswerSize; }

    // The service interface over this connection, or null while no usable
    // https (or http) URL is set. Owned by this object.
    IZOKA_E_BOK *GetIZOKA_E_BOK();

    // Opens the HTTPS connection to the service now, without a request, so
    // that the first call finds it ready; at start-up the handshake then runs
    // while the windows are built. Does nothing without an https URL. A
    // failure is not reported here: the first call meets it and reports it.
    void Preconnect();

    // TLS handshakes this connection has made so far: one per new HTTPS
    // connection; a call over the kept-alive connection adds none.
    int TlsHandshakes() const { return m_tlsHandshakes; }

    // POSTs one SOAP request for the operation and returns the answer's
    // body. An HTTP error status whose body is a SOAP fault gives the fault.
    ServiceResult<QByteArray> Invoke(std::string_view operation, const QByteArray &request);

private:
    QNetworkAccessManager &Manager();
    // Waits, within the deadline, until a connection Preconnect opens is ready.
    void AwaitPreconnect(const QDeadlineTimer &deadline);
    // One POST and its answer, ending by the deadline.
    ServiceResult<QByteArray> Post(QNetworkAccessManager &manager, std::string_view operation,
                                   const QByteArray &request, const QDeadlineTimer &deadline);

    QUrl m_url;
    std::chrono::milliseconds m_timeout = kDefaultTimeout;
    qint64 m_maxAnswerSize = kDefaultMaxAnswerSize;
    bool m_busy = false;
    int m_tlsHandshakes = 0;
    std::unique_ptr<QNetworkAccessManager> m_manager;
    int m_managerTrustGeneration = -1;
    bool m_preconnecting = false;
    // The added certificates first; the whole set once a server needed it.
    TrustedCertificates::Scope m_trustScope = TrustedCertificates::Scope::AddedOnly;
    std::unique_ptr<ZOKA_E_BOK_Proxy> m_proxy;
};
