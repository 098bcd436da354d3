#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A table for spreadsheets in the form a Polish spreadsheet opens without
// asking: UTF-8 with a byte-order mark, ";" between fields, CRLF between
// records, a header record first; amounts with a decimal comma and no
// grouping ("-1234,50"), dates as dd.mm.yyyy. Fields holding ";", a double
// quote or a line break are quoted, inner quotes doubled.
struct CsvTable
{
    QStringList Header;
    QList<QStringList> Rows;

    QByteArray ToBytes() const;

    // Reads what ToBytes writes (the byte-order mark optional; quoted fields
    // with ";", doubled quotes and line breaks). Nothing for text that is not
    // UTF-8 or has an unterminated quote.
    static std::optional<CsvTable> FromBytes(const QByteArray &bytes);

    // Writes the table atomically (QSaveFile): either the whole new file or
    // the old one stays. False with `error` set when it could not be written.
    bool Save(const QString &fileName, QString *error = nullptr) const;
};

// An amount as the windows round it (FormatAmount), without group separators
// and with a decimal comma: "1234,50", "-0,01", "0,00".
QString CsvAmount(double value);

// A date value as dd.mm.yyyy ("05.03.2024"); empty for the value 0 (no date).
QString CsvDate(double dateValue);

// Reads a CsvAmount text (also with spaces or no-break spaces as group
// separators, as the windows show amounts); nothing when it is not one.
std::optional<double> ParseCsvAmount(const QString &text);
