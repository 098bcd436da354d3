#include "account/CsvTable.h"

#include "account/FormatAmount.h"
#include "common/DateHelpers.h"

#include <QDate>
#include <QSaveFile>
#include <QStringDecoder>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr char16_t kSeparator = u';';

QString Field(const QString &text)
{
    if (!text.contains(kSeparator) && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u"\""_s, u"\"\""_s);
    return u'"' + quoted + u'"';
}

QString Record(const QStringList &fields)
{
    QStringList out;
    out.reserve(fields.size());
    for (const QString &f : fields)
        out.append(Field(f));
    return out.join(kSeparator) + u"\r\n"_s;
}

} // namespace

QByteArray CsvTable::ToBytes() const
{
    QString text = Record(Header);
    for (const QStringList &row : Rows)
        text += Record(row);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

std::optional<CsvTable> CsvTable::FromBytes(const QByteArray &bytes)
{
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(body);
    if (decoder.hasError())
        return std::nullopt;

    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == u'"' && field.isEmpty()) {
            quoted = true;
            fieldStarted = true;
        } else if (c == kSeparator) {
            record.append(field);
            field.clear();
            fieldStarted = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            record.append(field);
            records.append(record);
            record.clear();
            field.clear();
            fieldStarted = false;
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (fieldStarted || !field.isEmpty()) {
        record.append(field);
        records.append(record);
    }
    if (records.isEmpty())
        return std::nullopt;
    CsvTable table;
    table.Header = records.takeFirst();
    table.Rows = records;
    return table;
}

bool CsvTable::Save(const QString &fileName, QString *error) const
{
    QSaveFile file(fileName);
    const QByteArray bytes = ToBytes();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

QString CsvAmount(double value)
{
    // The windows' rounding, then the spreadsheet's form of the same figure.
    static const QLocale polish(QLocale::Polish, QLocale::Poland);
    QString text = FormatAmount(value, polish);
    text.remove(polish.groupSeparator());
    text.remove(u' ');
    return text;
}

QString CsvDate(double dateValue)
{
    if (dateValue == 0)
        return {};
    return ValueToDate(dateValue).toString(u"dd.MM.yyyy"_s);
}

std::optional<double> ParseCsvAmount(const QString &text)
{
    QString t = text.trimmed();
    t.remove(QChar(0x00A0));
    t.remove(QChar(0x202F));
    t.remove(u' ');
    t.replace(u',', u'.');
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || t.isEmpty())
        return std::nullopt;
    return v;
}
