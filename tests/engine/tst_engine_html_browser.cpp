// The HTML export as a browser sees it: headless Chromium loads the exported
// file, and its serialised DOM must hold the report's texts (Polish letters and
// escaped markup intact, one element per page) with no console message.

#include "testing/EngineTestReport.h"

#include "engine/HtmlExportFilter.h"
#include "engine/PageExport.h"
#include "engine/PageStore.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kBrowserTimeoutMs = 90000;

QString FindChromium()
{
    for (const QString &name : {u"chromium"_s, u"chromium-browser"_s}) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

} // namespace

class tst_EngineHtmlBrowser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void chromiumShowsTheExportedReport();
};

void tst_EngineHtmlBrowser::chromiumShowsTheExportedReport()
{
    const QString chromium = FindChromium();
    QVERIFY2(!chromium.isEmpty(), "chromium not found: install the Debian package chromium (scripts/setup.sh does)");

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // 60 rows: two pages; row 7 carries markup that the export must escape.
    EngineTestReport report(60);
    report.amountText = [](int row) {
        return row == 7 ? u"<b>Zażółć & \"gęślą\"</b>"_s
                        : u"%1,%2"_s.arg(row * 1013).arg(row % 100, 2, 10, QChar(u'0'));
    };
    const auto pages = report.generate();
    QCOMPARE(pages->pageCount(), 2);
    const QString path = dir.filePath(u"raport rozrachunków.htm"_s);
    HtmlExportFilter filter(path);
    PageExport::exportTo(*pages, filter);

    QProcess browser;
    browser.start(chromium,
                  {u"--headless"_s, u"--no-sandbox"_s, u"--disable-gpu"_s, u"--disable-dev-shm-usage"_s,
                   u"--no-first-run"_s, u"--user-data-dir="_s + dir.filePath(u"profile"_s),
                   u"--enable-logging=stderr"_s, u"--v=0"_s, u"--dump-dom"_s,
                   QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)});
    const bool finished = browser.waitForFinished(kBrowserTimeoutMs);
    if (!finished) {
        browser.kill();
        browser.waitForFinished(5000);
    }
    const QString dom = QString::fromUtf8(browser.readAllStandardOutput());
    const QString log = QString::fromUtf8(browser.readAllStandardError());
    QVERIFY2(finished, qPrintable(u"chromium did not finish in time; its log:\n"_s + log));
    QVERIFY2(browser.exitStatus() == QProcess::NormalExit && browser.exitCode() == 0,
             qPrintable(u"chromium ended with code %1; its log:\n"_s.arg(browser.exitCode()) + log));

    // Console messages (script errors, refused resources) are logged as CONSOLE lines.
    const QStringList consoleLines = log.split(u'\n').filter(u":CONSOLE"_s);
    QVERIFY2(consoleLines.isEmpty(), qPrintable(u"console messages:\n"_s + consoleLines.join(u'\n')));

    QVERIFY2(dom.contains(u"<html lang=\"pl\">"_s), qPrintable(dom.left(500)));
    QVERIFY(dom.contains(u"<title>Raport testowy</title>"_s));
    QCOMPARE(dom.count(QRegularExpression(u"<div class=\"p\""_s)), 2);
    for (const QString &expected :
         {u"Rozrachunki roku"_s, u"Obciążenia"_s, u"Stan początkowy:"_s, u"Wiersz 1<"_s, u"Wiersz 60<"_s,
          u"&lt;b&gt;Zażółć &amp; \"gęślą\"&lt;/b&gt;"_s, u"RAZEM"_s, u"Strona 2"_s})
        QVERIFY2(dom.contains(expected), qPrintable(expected + u" missing from the browser's document"_s));
    QVERIFY2(!dom.contains(u"<b>"_s), "markup from a report text became an element");
}

QTEST_MAIN(tst_EngineHtmlBrowser)
#include "tst_engine_html_browser.moc"
