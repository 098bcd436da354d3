#include "common/VersionBlock.h"
#include "common/VersionInfo.h"

#include <QTemporaryDir>
#include <QTest>

#include <string>
#include <vector>

namespace {

using VersionBlock::Entry;

QByteArray block(const std::vector<Entry> &entries)
{
    std::string out(VersionBlock::BlockSize(entries), '\0');
    VersionBlock::Write(entries, out.data());
    return QByteArray(out.data(), qsizetype(out.size()));
}

// A block of this program's shape under the given language/code page, with
// or without the translation table.
QByteArray sampleBlock(const char *langCp, bool withTranslation, const char *productVersion = "2.0.0.0")
{
    const std::string prefix = std::string("\\StringFileInfo\\") + langCp + "\\";
    static std::vector<std::string> keep; // the entries view these strings
    keep = {prefix + "FileVersion", prefix + "CompanyName", prefix + "ProductVersion"};
    std::vector<Entry> entries{{"\\", ""}};
    if (withTranslation)
        entries.push_back({"\\VarFileInfo\\Translation", langCp});
    entries.push_back({keep[0], "2.0.0.7"});
    entries.push_back({keep[1], "Spółdzielnia"});
    entries.push_back({keep[2], productVersion});
    return block(entries);
}

} // namespace

class tst_VersionInfo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void programBlock();
    void files_data();
    void files();

private:
    QTemporaryDir m_dir;
};

void tst_VersionInfo::programBlock()
{
    const QStringList values = ReadVersionInfo(QStringLiteral(DOMVEL_CLIENT_EXECUTABLE));
    QCOMPARE(values.size(), 7);
    QCOMPARE(values.at(0), QStringLiteral("1.3.0.19"));
    QCOMPARE(values.at(6), QStringLiteral("1.3.0.0"));
    for (int i = 1; i < 6; ++i)
        QVERIFY2(values.at(i).isEmpty(), qPrintable(values.at(i)));

    QCOMPARE(ReadVersionInfo(m_dir.filePath(QStringLiteral("missing"))), QStringList(7));
}

void tst_VersionInfo::files_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("fileVersion");
    QTest::addColumn<QString>("companyName");
    QTest::addColumn<QString>("productVersion");

    const QByteArray junk = QByteArray(5000, 'x')
        + "\x7F"
          "DVVER";
    const QByteArray polish = sampleBlock("041504E2", true);
    QTest::newRow("no block") << QByteArray("just some bytes\n") << QString() << QString() << QString();
    QTest::newRow("empty file") << QByteArray() << QString() << QString() << QString();
    QTest::newRow("block inside other bytes") << junk + polish + junk << "2.0.0.7"
                                              << "Spółdzielnia"
                                              << "2.0.0.0";
    QTest::newRow("no translation: read under 040904E4") << sampleBlock("040904E4", false) << "2.0.0.7"
                                                         << "Spółdzielnia"
                                                         << "2.0.0.0";
    QTest::newRow("no translation, values under another language")
        << sampleBlock("041504E2", false) << QString() << QString() << QString();
    QTest::newRow("empty product version") << sampleBlock("041504E2", true, "") << "2.0.0.7"
                                           << "Spółdzielnia" << QString();

    QByteArray flipped = polish;
    flipped[flipped.size() - 3] = flipped[flipped.size() - 3] ^ 0x20;
    QTest::newRow("checksum broken") << flipped << QString() << QString() << QString();
    QTest::newRow("truncated") << polish.left(polish.size() - 4) << QString() << QString() << QString();
    QByteArray huge = polish;
    huge[8] = char(0xFF), huge[9] = char(0xFF), huge[10] = char(0xFF), huge[11] = char(0x7F);
    QTest::newRow("length beyond the file") << huge << QString() << QString() << QString();
}

void tst_VersionInfo::files()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, fileVersion);
    QFETCH(QString, companyName);
    QFETCH(QString, productVersion);

    QVERIFY(m_dir.isValid());
    const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_'));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();

    const QStringList values = ReadVersionInfo(path);
    QCOMPARE(values.size(), 7);
    QCOMPARE(values.at(0), fileVersion);
    QCOMPARE(values.at(1), companyName);
    QCOMPARE(values.at(6), productVersion);
}

QTEST_GUILESS_MAIN(tst_VersionInfo)
#include "tst_versioninfo.moc"
