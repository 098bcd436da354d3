#pragma once

#include "protocol/IZOKA_E_BOK.h"

#include <QCursor>
#include <QGuiApplication>
#include <QStringList>

#include <functional>
#include <optional>

// A service that answers from what the test put in and records every call:
// the operation, its arguments, and the cursor shown while it ran.
class FakeService final : public IZOKA_E_BOK
{
public:
    struct Call
    {
        QString operation;
        QStringList arguments;
        std::optional<Qt::CursorShape> cursor;
    };

    QList<Call> calls;

    // What the next calls answer; `failure` replaces any answer; `thrown`
    // makes the call throw instead.
    ServiceResult<TRemInitialCheck> initialCheck = TRemInitialCheck{100, {}};
    ServiceResult<TRemYearRozrachGetData> year = TRemYearRozrachGetData{};
    ServiceResult<TRemKartotekaMcaGetData> ledger = TRemKartotekaMcaGetData{};
    ServiceResult<TRemDokDetailsGetData> details = TRemDokDetailsGetData{};
    ServiceResult<TRemSessionBeginData> sessionBegin = TRemSessionBeginData{};
    ServiceResult<QString> renew = QString();
    ServiceResult<TRemChangePasswordData> changePassword = TRemChangePasswordData{};
    ServiceResult<bool> logout = true;
    std::optional<ServiceFailure> failure;
    std::function<void()> thrown;

    ServiceResult<TRemChangePasswordData> ZOKA_WS_ChangePassword(const QString &l, const QString &p, const QString &t,
                                                                 const QString &n) override
    {
        return answer<TRemChangePasswordData>("ZOKA_WS_ChangePassword", {l, p, t, n}, changePassword);
    }
    ServiceResult<TRemSessionBeginData> ZOKA_WS_CzSessionBegin(const QString &l, const QString &p) override
    {
        return answer<TRemSessionBeginData>("ZOKA_WS_CzSessionBegin", {l, p}, sessionBegin);
    }
    ServiceResult<TRemDokDetailsGetData> ZOKA_WS_DokDetailsGet(const QString &l, const QString &p, const QString &t,
                                                               qint32 id, qint32 konto, qint32 year) override
    {
        return answer<TRemDokDetailsGetData>("ZOKA_WS_DokDetailsGet", {l, p, t, n(id), n(konto), n(year)}, details);
    }
    ServiceResult<TRemInitialCheck> ZOKA_WS_InitialCheck(const QString &v) override
    {
        return answer<TRemInitialCheck>("ZOKA_WS_InitialCheck", {v}, initialCheck);
    }
    ServiceResult<TRemKartotekaMcaGetData> ZOKA_WS_KartotekaMcaGet(const QString &l, const QString &p, const QString &t,
                                                                   qint32 konto, qint32 y, qint32 m) override
    {
        return answer<TRemKartotekaMcaGetData>("ZOKA_WS_KartotekaMcaGet", {l, p, t, n(konto), n(y), n(m)}, ledger);
    }
    ServiceResult<bool> ZOKA_WS_Logout(const QString &l, const QString &p, const QString &t) override
    {
        return answer<bool>("ZOKA_WS_Logout", {l, p, t}, logout);
    }
    ServiceResult<QString> ZOKA_WS_SessionRenew(const QString &l, const QString &p, const QString &t) override
    {
        return answer<QString>("ZOKA_WS_SessionRenew", {l, p, t}, renew);
    }
    ServiceResult<TRemWymiarOplatGetData> ZOKA_WS_WymiarOplatGet(const QString &l, const QString &p, const QString &t,
                                                                 qint32 konto, qint32 y, qint32 m) override
    {
        return answer<TRemWymiarOplatGetData>("ZOKA_WS_WymiarOplatGet", {l, p, t, n(konto), n(y), n(m)},
                                              TRemWymiarOplatGetData{});
    }
    ServiceResult<TRemYearRozrachGetData> ZOKA_WS_YearRozrachGet(const QString &l, const QString &p, const QString &t,
                                                                 qint32 y) override
    {
        return answer<TRemYearRozrachGetData>("ZOKA_WS_YearRozrachGet", {l, p, t, n(y)}, year);
    }

private:
    static QString n(qint32 value) { return QString::number(value); }

    template<typename T>
    ServiceResult<T> answer(const char *operation, QStringList arguments, const ServiceResult<T> &result)
    {
        Call call{QString::fromLatin1(operation), std::move(arguments), std::nullopt};
        if (const QCursor *cursor = QGuiApplication::overrideCursor())
            call.cursor = cursor->shape();
        calls.append(call);
        if (thrown)
            thrown();
        if (failure)
            return *failure;
        return result;
    }
};
