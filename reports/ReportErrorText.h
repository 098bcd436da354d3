#pragma once

#include <QString>

#include <exception>
#include <utility>

class ReportEngineError;

// The user's message for an error of the report engine.
QString ReportErrorText(const ReportEngineError &error);

// The error as the program shows it: an engine error becomes an AppError with
// its user's message; any other error (among them those the report's own
// handlers threw) is returned unchanged.
std::exception_ptr WordedReportError(std::exception_ptr error);

// Runs a call into the report engine made on the user's behalf; an engine
// error leaves it as an AppError with the user's message.
template<typename Call>
decltype(auto) WithReportErrorsWorded(Call &&call)
{
    try {
        return std::forward<Call>(call)();
    } catch (...) {
        std::rethrow_exception(WordedReportError(std::current_exception()));
    }
}
