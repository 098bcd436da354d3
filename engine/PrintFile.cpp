#include "engine/PrintFile.h"

#include "engine/PageStore.h"
#include "engine/PrintFileCodec.h"
#include "engine/ReportEngineError.h"

#include <QFile>
#include <QSaveFile>

QByteArray PrintFile::toBytes(const PageStore &pages)
{
    return PrintFileCodec::encode(pages.title(), pages.fonts(), pages.pages());
}

void PrintFile::loadBytes(PageStore &pages, const QByteArray &bytes)
{
    pages.replaceContent(PrintFileCodec::decode(bytes));
}

void PrintFile::save(const PageStore &pages, const QString &fileName)
{
    if (!pages.isFinished())
        throw ReportEngineError(ReportEngineError::Kind::StillGeneratingSave);
    const QByteArray bytes = toBytes(pages);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw ReportEngineError::file(ReportEngineError::Kind::FileNotWritten, fileName, file.errorString());
}

void PrintFile::load(PageStore &pages, const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw ReportEngineError::file(ReportEngineError::Kind::FileNotOpened, fileName, file.errorString());
    if (file.size() > PrintFileCodec::MaxFileSize)
        throw ReportEngineError::file(ReportEngineError::Kind::FileTooLarge, fileName);
    const QByteArray bytes = file.read(PrintFileCodec::MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        throw ReportEngineError::file(ReportEngineError::Kind::FileNotRead, fileName, file.errorString());
    loadBytes(pages, bytes);
}
