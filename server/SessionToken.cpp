#include "server/SessionToken.h"

#include "protocol/CredentialEncoding.h"
#include "protocol/SessionToken.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QStringList>

using namespace Qt::StringLiterals;

QString SessionToken::PlainText() const
{
    return u"%1;%2;%3;%4"_s.arg(number).arg(secret).arg(tenantId).arg(DateText(serviceDate));
}

QString SessionToken::Encoded() const
{
    return EncodeSessionToken(PlainText());
}

std::optional<SessionToken> SessionToken::ParsePlain(const QString &plain)
{
    const QStringList fields = plain.split(u';');
    if (fields.size() != 4 || fields[1].isEmpty())
        return std::nullopt;
    SessionToken token;
    bool ok1 = false;
    bool ok3 = false;
    bool ok4 = false;
    token.number = fields[0].toLongLong(&ok1);
    token.secret = fields[1];
    token.tenantId = fields[2].toLongLong(&ok3);
    QString date = fields[3];
    token.serviceDate = date.replace(u',', u'.').toDouble(&ok4);
    if (!ok1 || !ok3 || !ok4)
        return std::nullopt;
    return token;
}

std::optional<SessionToken> SessionToken::ParseEncoded(const QString &encoded)
{
    return ParsePlain(DecodeSessionToken(encoded));
}

QString SessionToken::NewSecret()
{
    QString secret;
    for (int i = 0; i < 4; ++i)
        secret += u"%1"_s.arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
    return secret;
}

QString SessionToken::DateText(double value)
{
    return QString::number(value, 'f', 6).replace(u'.', u',');
}
