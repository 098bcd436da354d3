#pragma once

#include <QByteArray>
#include <QString>

class PageStore;

// A page store's pages as a print file (the format is PrintFileCodec's).
class PrintFile
{
public:
    // Writes the finished pages, atomically: a failed save leaves any earlier
    // file as it was. Throws ReportEngineError.
    static void save(const PageStore &pages, const QString &fileName);
    // Replaces the store's pages with those of a print file. Anything this
    // program did not write, or that was damaged since, is rejected with a
    // ReportEngineError and the store keeps its pages.
    static void load(PageStore &pages, const QString &fileName);

    static QByteArray toBytes(const PageStore &pages);
    static void loadBytes(PageStore &pages, const QByteArray &bytes);
};
