#include "service/ServiceCall.h"

#include "common/Errors.h"

QString ServiceFailureDetail(const ServiceFailure &failure)
{
    if (!failure.detail.isEmpty())
        return failure.detail;
    switch (failure.kind) {
    case ServiceFailure::Kind::Transport: return QStringLiteral("Brak połączenia z serwerem.");
    case ServiceFailure::Kind::Tls: return QStringLiteral("Nie udało się nawiązać bezpiecznego połączenia.");
    case ServiceFailure::Kind::Timeout: return QStringLiteral("Serwer nie odpowiedział w wyznaczonym czasie.");
    case ServiceFailure::Kind::Http: return QStringLiteral("Serwer odpowiedział błędem HTTP.");
    case ServiceFailure::Kind::TooLarge: return QStringLiteral("Odpowiedź serwera jest zbyt duża.");
    case ServiceFailure::Kind::Fault: return QStringLiteral("Serwer zgłosił błąd.");
    case ServiceFailure::Kind::Read: return QStringLiteral("Nie można odczytać odpowiedzi serwera.");
    default: break; // kinds added later carry their own detail
    }
    return QStringLiteral("Błąd komunikacji z serwerem.");
}

QString ThrownErrorDetail(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const AppError &e) {
        return e.message();
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
    }
    return {};
}
