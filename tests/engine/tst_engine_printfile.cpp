#include "testing/EngineTestReport.h"

#include "common/Errors.h"
#include "engine/PageStore.h"
#include "engine/PrintFile.h"
#include "engine/PrintFileCodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace Qt::Literals::StringLiterals;

namespace {

// The fields of a hand-made payload with one font, one page and one text;
// each damaged case changes one of them.
struct Payload
{
    QByteArray title = "Tytuł"_ba;
    quint32 fontCount = 1;
    QByteArray family = "Arial"_ba;
    qint32 centiPoints = 800;
    quint8 style = 1;
    quint32 pageCount = 1;
    qint32 width = 21000;
    qint32 height = 29700;
    quint32 rectCount = 0;
    quint32 lineCount = 1;
    qint32 lineX1 = 2500;
    quint32 textCount = 1;
    quint16 font = 0;
    quint8 alignment = 2;
    QByteArray text = "Wiersz 1"_ba;
    std::optional<quint32> textLength;
    // Version 2: the text's clip box (left, width).
    std::optional<std::pair<qint32, qint32>> clip;
    QByteArray trailing;

    QByteArray bytes() const
    {
        QByteArray b;
        const auto u8 = [&](quint8 v) { b.append(char(v)); };
        const auto u16 = [&](quint16 v) {
            v = qToLittleEndian(v);
            b.append(reinterpret_cast<const char *>(&v), 2);
        };
        const auto u32 = [&](quint32 v) {
            v = qToLittleEndian(v);
            b.append(reinterpret_cast<const char *>(&v), 4);
        };
        const auto i32 = [&](qint32 v) { u32(quint32(v)); };
        const auto str = [&](const QByteArray &s, std::optional<quint32> length = {}) {
            u32(length.value_or(quint32(s.size())));
            b.append(s);
        };
        str(title);
        u32(fontCount);
        if (fontCount > 0) {
            str(family);
            i32(centiPoints);
            u8(style);
        }
        u32(pageCount);
        i32(width);
        i32(height);
        u32(rectCount);
        u32(lineCount);
        for (qint32 v : {lineX1, 4000, 18500, 4000})
            i32(v);
        u32(0xFF000000);
        i32(22);
        u32(textCount);
        for (qint32 v : {2500, 4500, 1200, 320})
            i32(v);
        u16(font);
        u8(alignment);
        u32(0xFF000000);
        str(text, textLength);
        if (clip) {
            i32(clip->first);
            i32(clip->second);
        }
        b.append(trailing);
        return b;
    }
    QByteArray file() const { return PrintFileCodec::wrapPayload(bytes(), clip ? 2 : 1); }
};

QByteArray SmallPrintFile()
{
    EngineTestReport report(3);
    return PrintFile::toBytes(*report.generate());
}

QString Fixture(const QString &name)
{
    return QStringLiteral(DOMVEL_FIXTURES "/engine/") + name;
}

// Loading must throw ReportEngineError and leave the store's earlier pages in place.
void ExpectRejected(const QByteArray &bytes)
{
    PageStore store;
    EngineTestReport report(60);
    const auto before = report.generate();
    PrintFile::loadBytes(store, PrintFile::toBytes(*before));
    QVERIFY_THROWS_EXCEPTION(ReportEngineError, PrintFile::loadBytes(store, bytes));
    QCOMPARE(store.pageCount(), before->pageCount());
    QVERIFY(store.pages() == before->pages());
}

} // namespace

class tst_EnginePrintFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip();
    void savedFileOfThisFormatStaysReadable();
    void clippedTextsRoundTrip();
    void damagedFilesAreRejected_data();
    void damagedFilesAreRejected();
    void everyTruncationIsRejected();
    void everyFlippedByteIsRejected();
    void unreadableOrUnwritablePaths();
};

void tst_EnginePrintFile::roundTrip()
{
    EngineTestReport report(150);
    report.amountText = [](int row) { return row == 7 ? u"zażółć <gęślą> & \"jaźń\""_s : QString::number(row); };
    const auto pages = report.generate();
    QVERIFY(pages->pageCount() > 2);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"raport.prn"_s);
    PrintFile::save(*pages, path);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"raport.prn"_s});

    PageStore loaded;
    PrintFile::load(loaded, path);
    QCOMPARE(loaded.title(), u"Raport testowy"_s);
    QVERIFY(loaded.fonts() == pages->fonts());
    QCOMPARE(loaded.pageCount(), pages->pageCount());
    for (int p = 0; p < pages->pageCount(); ++p)
        QVERIFY2(loaded.page(p) == pages->page(p), qPrintable(u"page %1 differs"_s.arg(p + 1)));
    QVERIFY(loaded.isFinished());
    QVERIFY(!loaded.sourceReport());

    // Saving what was loaded writes the same bytes.
    QCOMPARE(PrintFile::toBytes(loaded), PrintFile::toBytes(*pages));
}

void tst_EnginePrintFile::savedFileOfThisFormatStaysReadable()
{
    // Written by this format's first version; a later change of the writer or
    // reader must keep it loadable and byte-for-byte the same when saved again.
    QFile file(Fixture(u"report_3_rows_v1.prn"_s));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    PageStore store;
    PrintFile::loadBytes(store, bytes);
    QCOMPARE(store.pageCount(), 1);
    QCOMPARE(store.title(), u"Raport testowy"_s);
    QStringList texts;
    for (const PageText &t : store.page(0).texts)
        texts << t.text;
    for (const QString &expected : {u"Rozrachunki roku"_s, u"Obciążenia"_s, u"Wiersz 3"_s, u"Strona ostatnia"_s})
        QVERIFY2(texts.contains(expected), qPrintable(expected));
    QCOMPARE(PrintFile::toBytes(store), bytes);
}

void tst_EnginePrintFile::clippedTextsRoundTrip()
{
    // The builder's version 2 file, with a text cut to a 10 mm box.
    Payload payload;
    payload.clip = {2500, 1000};
    PageStore store;
    PrintFile::loadBytes(store, payload.file());
    QCOMPARE(store.page(0).texts.at(0).clipLeft, 2500);
    QCOMPARE(store.page(0).texts.at(0).clipWidth, 1000);
    QCOMPARE(PrintFile::toBytes(store), payload.file());

    // Pages with a cut text are written as version 2 and read back the same;
    // pages without one stay version 1, readable by the first reader.
    EngineTestReport report(3);
    const auto pages = report.generate();
    QCOMPARE(qFromLittleEndian<quint16>(PrintFile::toBytes(*pages).constData() + 8), quint16(1));
    std::vector<ReportPage> cut = pages->pages();
    cut[0].texts[0].clipLeft = cut[0].texts[0].x;
    cut[0].texts[0].clipWidth = 500;
    const QByteArray file = PrintFileCodec::encode(pages->title(), pages->fonts(), cut);
    QCOMPARE(qFromLittleEndian<quint16>(file.constData() + 8), quint16(2));
    QVERIFY(PrintFileCodec::decode(file).pages == cut);
}

void tst_EnginePrintFile::damagedFilesAreRejected_data()
{
    QTest::addColumn<QByteArray>("bytes");

    // The builder itself must produce a file that loads.
    PageStore probe;
    PrintFile::loadBytes(probe, Payload{}.file());
    QCOMPARE(probe.pageCount(), 1);

    const QByteArray valid = SmallPrintFile();
    const auto flipped = [&](qsizetype at) {
        QByteArray b = valid;
        b[at] = char(b[at] ^ 0x40);
        return b;
    };
    const auto withHeaderU16 = [&](qsizetype at, quint16 v) {
        QByteArray b = valid;
        qToLittleEndian(v, b.data() + at);
        return b;
    };
    const auto withHeaderU32 = [&](qsizetype at, quint32 v) {
        QByteArray b = valid;
        qToLittleEndian(v, b.data() + at);
        return b;
    };

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text file") << "Rozrachunki roku 2024\nStyczeń 12,50\n"_ba;
    QTest::newRow("PDF file") << "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<<>>\nendobj\n"_ba;
    QTest::newRow("magic only") << PrintFileCodec::magic();
    QTest::newRow("header only") << valid.left(PrintFileCodec::HeaderSize);
    QTest::newRow("last byte missing") << valid.chopped(1);
    QTest::newRow("byte appended") << valid + '\0';
    QTest::newRow("newer version") << withHeaderU16(8, PrintFileCodec::FormatVersion + 1);
    QTest::newRow("version 2 over version 1 pages") << withHeaderU16(8, 2);
    QTest::newRow("version zero") << withHeaderU16(8, 0);
    QTest::newRow("flags set") << withHeaderU16(10, 1);
    QTest::newRow("length too large") << withHeaderU32(12, quint32(valid.size()));
    QTest::newRow("length huge") << withHeaderU32(12, 0xFFFFFFFFu);
    QTest::newRow("checksum byte flipped") << flipped(20);
    QTest::newRow("payload byte flipped") << flipped(valid.size() / 2);
    QTest::newRow("payload replaced, checksum kept")
        << valid.left(PrintFileCodec::HeaderSize) + QByteArray(valid.size() - PrintFileCodec::HeaderSize, 'A');

    // Checksum right, content wrong.
    const auto row = [](const char *name, auto change) {
        Payload p;
        change(p);
        QTest::newRow(name) << p.file();
    };
    row("huge font count", [](Payload &p) { p.fontCount = 0xFFFFFFFFu; });
    row("font count beyond data", [](Payload &p) { p.fontCount = 1000; });
    row("huge page count", [](Payload &p) { p.pageCount = 0x7FFFFFFFu; });
    row("page count beyond data", [](Payload &p) { p.pageCount = 2; });
    row("huge rectangle count", [](Payload &p) { p.rectCount = 0xFFFFFFF0u; });
    row("huge line count", [](Payload &p) { p.lineCount = 100001; });
    row("huge text count", [](Payload &p) { p.textCount = 0x10000000u; });
    row("huge text length", [](Payload &p) { p.textLength = 0xFFFFFFFFu; });
    row("text length beyond data", [](Payload &p) { p.textLength = 9; });
    row("empty font table", [](Payload &p) { p.fontCount = 0; });
    row("font index outside table", [](Payload &p) { p.font = 1; });
    row("unknown alignment", [](Payload &p) { p.alignment = 3; });
    row("unknown font style", [](Payload &p) { p.style = 8; });
    row("font size zero", [](Payload &p) { p.centiPoints = 0; });
    row("font size negative", [](Payload &p) { p.centiPoints = -800; });
    row("page width zero", [](Payload &p) { p.width = 0; });
    row("page height negative", [](Payload &p) { p.height = -29700; });
    row("page ten metres high", [](Payload &p) { p.height = 1000000; });
    row("coordinate far off the page", [](Payload &p) { p.lineX1 = 0x7FFFFFFF; });
    row("text not UTF-8", [](Payload &p) { p.text = "Wiersz \xFF\xFE"_ba; });
    row("title not UTF-8", [](Payload &p) { p.title = "\xC3"_ba; });
    row("trailing data", [](Payload &p) { p.trailing = "x"_ba; });
    row("version 2 with nothing cut", [](Payload &p) { p.clip = {0, 0}; });
    row("clip box without width", [](Payload &p) { p.clip = {2500, 0}; });
    row("clip box of negative width", [](Payload &p) { p.clip = {2500, -1}; });
    row("clip box far off the page", [](Payload &p) { p.clip = {0x7FFFFFFF, 1000}; });
}

void tst_EnginePrintFile::damagedFilesAreRejected()
{
    QFETCH(QByteArray, bytes);
    ExpectRejected(bytes);
}

void tst_EnginePrintFile::everyTruncationIsRejected()
{
    const QByteArray valid = SmallPrintFile();
    for (qsizetype size = 0; size < valid.size(); ++size) {
        PageStore store;
        try {
            PrintFile::loadBytes(store, valid.left(size));
            QFAIL(qPrintable(u"a file cut to %1 of %2 bytes was accepted"_s.arg(size).arg(valid.size())));
        } catch (const ReportEngineError &) {
        }
        QCOMPARE(store.pageCount(), 0);
    }
}

void tst_EnginePrintFile::everyFlippedByteIsRejected()
{
    const QByteArray valid = SmallPrintFile();
    for (qsizetype at = 0; at < valid.size(); ++at) {
        for (char mask : {char(0x01), char(0x80)}) {
            QByteArray bytes = valid;
            bytes[at] = char(bytes[at] ^ mask);
            PageStore store;
            try {
                PrintFile::loadBytes(store, bytes);
                QFAIL(qPrintable(u"byte %1 changed and the file was accepted"_s.arg(at)));
            } catch (const ReportEngineError &) {
            }
        }
    }
}

void tst_EnginePrintFile::unreadableOrUnwritablePaths()
{
    QTemporaryDir dir;
    PageStore store;
    QCOMPARE(EngineErrorKind([&] { PrintFile::load(store, dir.filePath(u"brak.prn"_s)); }),
             ReportEngineError::Kind::FileNotOpened);
    QVERIFY_THROWS_EXCEPTION(ReportEngineError, PrintFile::load(store, dir.path()));

    EngineTestReport report(3);
    const auto pages = report.generate();
    const QString missingFolder = dir.filePath(u"brak/raport.prn"_s);
    QCOMPARE(EngineErrorKind([&] { PrintFile::save(*pages, missingFolder); }), ReportEngineError::Kind::FileNotWritten);
    QVERIFY(!QFile::exists(missingFolder));

    // A failed save leaves the earlier file untouched.
    const QString path = dir.filePath(u"raport.prn"_s);
    PrintFile::save(*pages, path);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    EngineTestReport longer(200);
    const bool writable = QFileInfo(dir.path()).isWritable();
    if (!writable)
        QCOMPARE(EngineErrorKind([&] { PrintFile::save(*longer.generate(), path); }),
                 ReportEngineError::Kind::FileNotWritten);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    PageStore reloaded;
    PrintFile::load(reloaded, path);
    if (!writable)
        QCOMPARE(reloaded.pageCount(), 1);
}

QTEST_MAIN(tst_EnginePrintFile)
#include "tst_engine_printfile.moc"
