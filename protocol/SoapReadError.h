#pragma once

#include <QString>

// A SOAP message that cannot be read: thrown inside the codec and turned into
// a ServiceFailure of kind Read at its surface, so no half-read value escapes.
class SoapReadError
{
public:
    explicit SoapReadError(QString detail) : m_detail(std::move(detail)) { }
    const QString &detail() const { return m_detail; }

private:
    QString m_detail;
};
