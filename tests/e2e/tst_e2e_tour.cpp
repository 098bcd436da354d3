#include "testing/ServerProcess.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// The scripted tour as the main command runs it without a display: the tour
// executable against the demo server executable, into a fresh folder.
class tst_E2eTour : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tourLeavesScreenshotsAndFiles();
};

void tst_E2eTour::tourLeavesScreenshotsAndFiles()
{
    QTemporaryDir data;
    QTemporaryDir out;
    QVERIFY(data.isValid() && out.isValid());
    ServerProcess server;
    QString error;
    QVERIFY2(server.Start(data.path(), {}, &error), qPrintable(error));
    const QString folder = out.filePath(u"tour"_s);

    QProcess tour;
    tour.setProcessChannelMode(QProcess::MergedChannels);
    tour.start(QStringLiteral(DOMVEL_TOUR_EXE),
               {u"localhost:%1"_s.arg(server.port()), u"--ca-cert"_s, data.filePath(u"server-cert.pem"_s), u"--out"_s,
                folder});
    QVERIFY2(tour.waitForFinished(150000), "the tour ends");
    const QString output = QString::fromUtf8(tour.readAll());
    QVERIFY2(tour.exitStatus() == QProcess::NormalExit && tour.exitCode() == 0, qPrintable(output));
    QVERIFY2(output.contains(u"Logowanie: kowalski"_s), qPrintable(output));
    QVERIFY2(output.trimmed().endsWith(u"Zrzuty ekranu i pliki: "_s + QDir(folder).absolutePath()), qPrintable(output));

    const QDir dir(folder);
    for (const QString &name : {u"01-okno-glowne.png"_s, u"03-kartoteka-miesiaca.png"_s,
                                u"04-szczegoly-obciazenia.png"_s, u"szczegoly-obciazenia-podglad.png"_s}) {
        const QImage image(dir.filePath(name));
        QVERIFY2(image.width() > 200 && image.height() > 200, qPrintable(name));
    }
    for (const QString &pattern : {u"rozrachunki-*.pdf"_s, u"rozrachunki-*.prn"_s, u"kartoteka-miesiaca.pdf"_s,
                                   u"szczegoly-obciazenia.pdf"_s, u"szczegoly-obciazenia.prn"_s}) {
        const QFileInfoList files = dir.entryInfoList({pattern}, QDir::Files);
        QVERIFY2(files.size() == 1 && files.first().size() > 0, qPrintable(pattern));
    }
    QFile pdf(dir.filePath(u"szczegoly-obciazenia.pdf"_s));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
}

QTEST_GUILESS_MAIN(tst_E2eTour)
#include "tst_e2e_tour.moc"
