#pragma once

#include "protocol/IZOKA_E_BOK.h"

#include <QStringList>

// Passes every call on to the real interface and notes the operation, so that
// a test can tell that a refusal happened before anything was sent.
class CountingService final : public IZOKA_E_BOK
{
public:
    explicit CountingService(IZOKA_E_BOK &inner) : m_inner(inner) { }

    QStringList operations;

    ServiceResult<TRemChangePasswordData> ZOKA_WS_ChangePassword(const QString &l, const QString &p, const QString &t,
                                                                 const QString &n) override
    {
        operations << QStringLiteral("ZOKA_WS_ChangePassword");
        return m_inner.ZOKA_WS_ChangePassword(l, p, t, n);
    }
    ServiceResult<TRemSessionBeginData> ZOKA_WS_CzSessionBegin(const QString &l, const QString &p) override
    {
        operations << QStringLiteral("ZOKA_WS_CzSessionBegin");
        return m_inner.ZOKA_WS_CzSessionBegin(l, p);
    }
    ServiceResult<TRemDokDetailsGetData> ZOKA_WS_DokDetailsGet(const QString &l, const QString &p, const QString &t,
                                                               qint32 id, qint32 konto, qint32 year) override
    {
        operations << QStringLiteral("ZOKA_WS_DokDetailsGet");
        return m_inner.ZOKA_WS_DokDetailsGet(l, p, t, id, konto, year);
    }
    ServiceResult<TRemInitialCheck> ZOKA_WS_InitialCheck(const QString &v) override
    {
        operations << QStringLiteral("ZOKA_WS_InitialCheck");
        return m_inner.ZOKA_WS_InitialCheck(v);
    }
    ServiceResult<TRemKartotekaMcaGetData> ZOKA_WS_KartotekaMcaGet(const QString &l, const QString &p, const QString &t,
                                                                   qint32 konto, qint32 y, qint32 m) override
    {
        operations << QStringLiteral("ZOKA_WS_KartotekaMcaGet");
        return m_inner.ZOKA_WS_KartotekaMcaGet(l, p, t, konto, y, m);
    }
    ServiceResult<bool> ZOKA_WS_Logout(const QString &l, const QString &p, const QString &t) override
    {
        operations << QStringLiteral("ZOKA_WS_Logout");
        return m_inner.ZOKA_WS_Logout(l, p, t);
    }
    ServiceResult<QString> ZOKA_WS_SessionRenew(const QString &l, const QString &p, const QString &t) override
    {
        operations << QStringLiteral("ZOKA_WS_SessionRenew");
        return m_inner.ZOKA_WS_SessionRenew(l, p, t);
    }
    ServiceResult<TRemWymiarOplatGetData> ZOKA_WS_WymiarOplatGet(const QString &l, const QString &p, const QString &t,
                                                                 qint32 konto, qint32 y, qint32 m) override
    {
        operations << QStringLiteral("ZOKA_WS_WymiarOplatGet");
        return m_inner.ZOKA_WS_WymiarOplatGet(l, p, t, konto, y, m);
    }
    ServiceResult<TRemYearRozrachGetData> ZOKA_WS_YearRozrachGet(const QString &l, const QString &p, const QString &t,
                                                                 qint32 y) override
    {
        operations << QStringLiteral("ZOKA_WS_YearRozrachGet");
        return m_inner.ZOKA_WS_YearRozrachGet(l, p, t, y);
    }

private:
    IZOKA_E_BOK &m_inner;
};
