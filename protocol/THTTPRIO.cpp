#include "protocol/THTTPRIO.h"

#include "common/Cursors.h"
#include "protocol/SoapCodec.h"
#include "protocol/SoapNames.h"
#include "protocol/TrustedCertificates.h"
#include "protocol/ZOKA_E_BOK_Proxy.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QScopedValueRollback>
#include <QSslError>
#include <QTimer>

#include <optional>

namespace {

struct ReplyDeleter
{
    void operator()(QNetworkReply *reply) const { reply->deleteLater(); }
};

QNetworkRequest soapRequest(const QUrl &url, std::string_view operation, const QSslConfiguration &tls)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray(SoapNames::kContentType));
    request.setRawHeader("SOAPAction", SoapCodec::SoapAction(operation));
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Domvel-E-Vadiv"));
    // Answers hold personal data: never from or into a cache.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    // A redirected POST would turn into a GET elsewhere: report it instead.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setSslConfiguration(tls);
    return request;
}

ServiceFailure failure(ServiceFailure::Kind kind, const QString &detail)
{
    return ServiceFailure{kind, detail};
}

} // namespace

THTTPRIO::THTTPRIO(QObject *parent) : QObject(parent), m_proxy(std::make_unique<ZOKA_E_BOK_Proxy>(*this))
{
}

THTTPRIO::~THTTPRIO() = default;

void THTTPRIO::SetURL(const QString &url)
{
    m_url = QUrl(url, QUrl::StrictMode);
}

IZOKA_E_BOK *THTTPRIO::GetIZOKA_E_BOK()
{
    const bool usable
        = m_url.isValid() && !m_url.host().isEmpty() && (m_url.scheme() == u"https" || m_url.scheme() == u"http");
    return usable ? m_proxy.get() : nullptr;
}

QNetworkAccessManager &THTTPRIO::Manager()
{
    // A manager reuses a kept-alive connection without looking at the new
    // request's TLS configuration: when the trusted set changes, start over.
    const int generation = TrustedCertificates::Generation();
    if (!m_manager || m_managerTrustGeneration != generation) {
        if (m_managerTrustGeneration != generation)
            m_trustScope = TrustedCertificates::Scope::AddedOnly;
        m_preconnecting = false;
        m_manager = std::make_unique<QNetworkAccessManager>();
        m_manager->setCookieJar(nullptr);
        m_managerTrustGeneration = generation;
        // Counted on the manager, so that a handshake of Preconnect counts too.
        connect(m_manager.get(), &QNetworkAccessManager::encrypted, this, [this] { ++m_tlsHandshakes; });
    }
    return *m_manager;
}

void THTTPRIO::Preconnect()
{
    if (m_url.scheme() != u"https" || m_url.host().isEmpty())
        return;
    // Without HTTP/2 in the offered protocols the manager opens the same kind
    // of connection as a call's request, so the call reuses it.
    QNetworkAccessManager &manager = Manager();
    QSslConfiguration tls = TrustedCertificates::Configuration(m_trustScope);
    tls.setAllowedNextProtocols({});
    m_preconnecting = true;
    connect(
        &manager, &QNetworkAccessManager::finished, this, [this] { m_preconnecting = false; },
        Qt::SingleShotConnection);
    manager.connectToHostEncrypted(m_url.host(), quint16(m_url.port(443)), tls);
}

void THTTPRIO::AwaitPreconnect(const QDeadlineTimer &deadline)
{
    // A request made while the opening connection is still busy would open a
    // second connection, with a handshake of its own.
    if (!m_preconnecting || !m_manager)
        return;
    QEventLoop loop;
    QObject::connect(m_manager.get(), &QNetworkAccessManager::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(std::max<qint64>(0, deadline.remainingTime()), &loop, &QEventLoop::quit);
    if (m_preconnecting)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    m_preconnecting = false;
}

ServiceResult<QByteArray> THTTPRIO::Invoke(std::string_view operation, const QByteArray &request)
{
    if (m_busy)
        return failure(ServiceFailure::Kind::Transport, QStringLiteral("Poprzednie wywołanie serwisu jeszcze trwa."));
    const QScopedValueRollback busy(m_busy, true);
    const TWaitCursor wait;
    const QDeadlineTimer deadline(m_timeout);
    QNetworkAccessManager &manager = Manager();
    AwaitPreconnect(deadline);
    ServiceResult<QByteArray> answer = Post(manager, operation, request, deadline);
    // A server the added certificates do not vouch for may still chain to
    // the system store: one more try with the whole set, which the
    // connection keeps from then on. A manager keeps the TLS configuration
    // of its first connection to a host, so the try needs a new one.
    if (!answer.ok() && answer.failure().kind == ServiceFailure::Kind::Tls
        && m_trustScope == TrustedCertificates::Scope::AddedOnly && TrustedCertificates::HasAdded()) {
        m_trustScope = TrustedCertificates::Scope::Whole;
        m_manager.reset();
        answer = Post(Manager(), operation, request, deadline);
    }
    return answer;
}

ServiceResult<QByteArray> THTTPRIO::Post(QNetworkAccessManager &manager, std::string_view operation,
                                         const QByteArray &request, const QDeadlineTimer &deadlineTime)
{
    const std::unique_ptr<QNetworkReply, ReplyDeleter> reply(
        manager.post(soapRequest(m_url, operation, TrustedCertificates::Configuration(m_trustScope)), request));
    QByteArray body;
    std::optional<ServiceFailure> cutOff;
    QStringList tlsErrors;
    const qint64 maxSize = m_maxAnswerSize;

    auto cut = [&](ServiceFailure reason) {
        if (!cutOff) {
            cutOff = std::move(reason);
            reply->abort();
        }
    };
    auto tooLarge = [&]() {
        return failure(ServiceFailure::Kind::TooLarge,
                       QStringLiteral("Odpowiedź serwisu przekracza %1 bajtów.").arg(maxSize));
    };
    auto drain = [&]() {
        if (cutOff)
            return;
        // Read no more than one byte past the cap.
        body += reply->read(maxSize + 1 - body.size());
        if (body.size() > maxSize)
            cut(tooLarge());
    };

    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, &loop, [&]() {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > maxSize)
            cut(tooLarge());
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, drain);
    QObject::connect(reply.get(), &QNetworkReply::sslErrors, &loop, [&](const QList<QSslError> &errors) {
        for (const QSslError &error : errors)
            tlsErrors.append(error.errorString());
    });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&]() {
        const auto ms = m_timeout.count();
        cut(failure(ServiceFailure::Kind::Timeout,
                    ms % 1000 == 0 ? QStringLiteral("Serwis nie odpowiedział w ciągu %1 s.").arg(ms / 1000)
                                   : QStringLiteral("Serwis nie odpowiedział w ciągu %1 ms.").arg(ms)));
    });
    deadline.start(std::max<qint64>(0, deadlineTime.remainingTime()));
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    deadline.stop();
    drain();

    if (cutOff)
        return *cutOff;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int code = status.isValid() ? status.toInt() : 0;
    const QNetworkReply::NetworkError error = reply->error();
    if (error == QNetworkReply::NoError && code >= 200 && code < 300)
        return body;
    if (error == QNetworkReply::SslHandshakeFailedError)
        return failure(ServiceFailure::Kind::Tls, tlsErrors.isEmpty() ? reply->errorString() : tlsErrors.join(u"; "));
    // A transfer broken off after the status line is no HTTP error.
    const bool httpError = status.isValid() && (code < 200 || code >= 300)
        && (error == QNetworkReply::NoError
            || (error >= QNetworkReply::ContentAccessDenied && error < QNetworkReply::ProtocolUnknownError)
            || error >= QNetworkReply::InternalServerError);
    if (httpError) {
        // SOAP sends its faults with status 500.
        if (std::optional<ServiceFailure> fault = SoapCodec::ReadFault(body, maxSize))
            return *fault;
        return failure(ServiceFailure::Kind::Http,
                       QStringLiteral("HTTP %1 %2")
                           .arg(code)
                           .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString()));
    }
    if (error == QNetworkReply::TimeoutError)
        return failure(ServiceFailure::Kind::Timeout, reply->errorString());
    return failure(ServiceFailure::Kind::Transport, reply->errorString());
}
