#pragma once

#include <QByteArray>
#include <QString>

class PageStore;

// Writes the pages of a page store to one file in some format. A filter is
// made for one target file and one export; the file is replaced atomically,
// so a failed export leaves any earlier file as it was.
class ExportFilter
{
public:
    explicit ExportFilter(QString fileName);
    virtual ~ExportFilter();
    ExportFilter(const ExportFilter &) = delete;
    ExportFilter &operator=(const ExportFilter &) = delete;

    const QString &fileName() const { return m_fileName; }

    // Throws ReportEngineError when the file cannot be written.
    virtual void exportPages(const PageStore &pages) = 0;

    // The text with control characters turned into blanks and broken UTF-16
    // (lone surrogates) or non-characters into U+FFFD, so that no export can
    // be split or made invalid by what a page holds.
    static QString printableText(const QString &text);

protected:
    void writeFile(const QByteArray &bytes) const;

private:
    QString m_fileName;
};
