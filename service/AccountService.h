#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

class Account;
class IZOKA_E_BOK;

// The outcome of a session call.
enum class SessionOutcome {
    Done, // the service agreed; the session record follows it
    NoService, // no interface to call: the user has been told that the service is unavailable
    Refused, // the call failed (the user has been told) or the service said no (nothing shown yet)
    Unusable, // the answer cannot be trusted: the error has been shown, the program asked to end
};

// Where the client calls the service: the version check, the four session
// calls and the three data queries, each on the interface of the connection
// it was given and into the account it was given. Each holds the wait cursor
// for its whole run and tells the user of a failure itself; no failure leaves
// it as an exception.
class AccountService
{
public:
    explicit AccountService(Account &account, IZOKA_E_BOK *service = nullptr);

    Account &AccountData() const { return m_account; }
    // The interface every call goes through (not owned); null: none, and
    // every call says that the service is unavailable.
    void SetService(IZOKA_E_BOK *service) { m_service = service; }
    IZOKA_E_BOK *Service() const { return m_service; }

    // Asks the service whether this client version may be used (100 yes, 101 an
    // update is required). On anything but 100 the user is told why, the
    // application is asked to terminate and the answer is false.
    bool CheckClientVersion();

    // The session begins with the encoded credentials; when the service
    // agrees, the session record and the yearly store take the answer. A
    // token or figures that cannot be read give Unusable, with the record
    // cleared.
    SessionOutcome BeginSession(const QString &loginE, const QString &passwordE);
    // The session is renewed with the typed credentials, encoded here; Done
    // once the service gave a new token.
    SessionOutcome RenewSession(const QString &identifier, const QString &password);
    // The password is changed (encoded credentials); Done once the record
    // holds the new credentials and token. On Refused, `reason` receives the
    // service's RetCodeAsString (empty when the call itself failed).
    SessionOutcome ChangePassword(const QString &loginE, const QString &passwordE, const QString &newPasswordE,
                                  QString &reason);
    // Logs out of an active session (an inactive one is refused with its
    // state's text); the record says logged out whatever the service answers.
    void Logout();

    // The check before a data query: the session must be active (an active
    // session whose time is up becomes expired) and there must be an
    // interface. On success `service` receives it; otherwise the user has
    // been told why and the answer is false.
    bool GetServiceInterface(IZOKA_E_BOK *&service);

    // The data queries: true only once the answer has reached its store.
    // The figures of `year` into the yearly settlement store.
    bool QueryYearSettlements(qint32 year);
    // The ledger of a category's month into the month ledger store.
    bool QueryMonthLedger(qint32 category, qint32 year, qint32 month);
    // The details of a charge document into the document details store.
    bool QueryDocumentDetails(qint32 documentId, qint32 category, qint32 year);

private:
    // A data query under the wait cursor, after the session and interface check.
    template<typename Answer, typename Call, typename Load>
    bool runQuery(Call &&call, Load &&load);

    Account &m_account;
    IZOKA_E_BOK *m_service = nullptr;
};

// Shows the update-required notice modally. The windows install it; without
// one, an information box says that the application must be updated.
void SetUpdateNoticeHandler(std::function<void()> handler);
