#pragma once

#include "account/TU_WEBServiceSession.h"
#include "common/Cursors.h"
#include "common/Messages.h"
#include "protocol/IZOKA_E_BOK.h"
#include "service/ServiceAccess.h"

#include <exception>
#include <optional>

// The one scheme every service call of the wrappers follows.

// The technical text of a failed call, for the message box's detail.
QString ServiceFailureDetail(const ServiceFailure &failure);

// The message of an error thrown by a call, for the message box's detail.
QString ThrownErrorDetail(std::exception_ptr error);

// Makes one call. Any failure, returned or thrown (a transport error, a fault,
// an unreadable answer), shows the service-unavailable box with its detail
// and gives no answer: a failure never passes for an answer.
template<typename Answer, typename Call>
std::optional<Answer> CallService(Call &&call)
{
    std::optional<ServiceResult<Answer>> result;
    try {
        result.emplace(call());
    } catch (...) {
        ShowServiceUnavailable(ThrownErrorDetail(std::current_exception()));
        return std::nullopt;
    }
    if (!result->ok()) {
        ShowServiceUnavailable(ServiceFailureDetail(result->failure()));
        return std::nullopt;
    }
    return std::move(result->value());
}

// A data query under the wait cursor, on an interface the caller has checked:
// the call with the session's encoded credentials and token, silence and
// false on a non-zero RetCode, and `load` handing the answer to its store. An
// error thrown by `load` is shown by the standard error display and gives
// false.
//   call: (IZOKA_E_BOK &, login, password, token) -> ServiceResult<Answer>
//   load: (const Answer &) -> void
template<typename Answer, typename Call, typename Load>
bool RunDataQuery(IZOKA_E_BOK &service, const TU_WEBServiceSession &session, Call &&call, Load &&load)
{
    const std::optional<Answer> answer
        = CallService<Answer>([&] { return call(service, session.LoginE, session.PasswordE, session.SessionToken); });
    if (!answer || answer->RetCode != 0)
        return false;
    try {
        load(*answer);
    } catch (...) {
        ShowErrorDisplay(std::current_exception());
        return false;
    }
    return true;
}
