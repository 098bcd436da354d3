#include "engine/ExportFilter.h"

#include "engine/ReportEngineError.h"

#include <QSaveFile>

ExportFilter::ExportFilter(QString fileName) : m_fileName(std::move(fileName))
{
}

ExportFilter::~ExportFilter() = default;

void ExportFilter::writeFile(const QByteArray &bytes) const
{
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw ReportEngineError::file(ReportEngineError::Kind::FileNotWritten, m_fileName, file.errorString());
}

QString ExportFilter::printableText(const QString &text)
{
    QString out = text;
    const qsizetype n = out.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = out.at(i).unicode();
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
            out[i] = u' ';
        } else if (QChar::isHighSurrogate(c)) {
            if (i + 1 < n && QChar::isLowSurrogate(out.at(i + 1).unicode())) {
                const char32_t ucs = QChar::surrogateToUcs4(c, out.at(i + 1).unicode());
                if (QChar::isNonCharacter(ucs)) {
                    out[i] = QChar::ReplacementCharacter;
                    out[i + 1] = QChar::ReplacementCharacter;
                }
                ++i;
            } else {
                out[i] = QChar::ReplacementCharacter;
            }
        } else if (QChar::isLowSurrogate(c) || QChar::isNonCharacter(c)) {
            out[i] = QChar::ReplacementCharacter;
        }
    }
    return out;
}
