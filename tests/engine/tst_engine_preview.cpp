#include "testing/EngineTestReport.h"

#include "engine/PageStore.h"
#include "engine/PrintFile.h"
#include "engine_widgets/ReportPreviewControl.h"
#include "engine_widgets/ReportPrinter.h"

#include <QFile>
#include <QProcess>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// Size of an A4 page on this screen at the given zoom, in pixels.
QSizeF A4Pixels(const QWidget &widget, int zoom)
{
    return QSizeF(210 / 25.4 * widget.logicalDpiX() * zoom / 100.0, 297 / 25.4 * widget.logicalDpiY() * zoom / 100.0);
}

class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

class tst_EnginePreview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void zoomStaysInBounds_data();
    void zoomStaysInBounds();
    void fitPageAndWidth_data();
    void fitPageAndWidth();
    void pageNumbers();
    void followsAGeneratingReport();
    void scrollsVertically();
    void paintsThePage();
    void printsToAPdfFile_data();
    void printsToAPdfFile();

private:
    std::unique_ptr<ReportPreviewControl> m_control;
};

void tst_EnginePreview::init()
{
    m_control = std::make_unique<ReportPreviewControl>();
    m_control->resize(800, 600);
    m_control->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_control.get()));
}

void tst_EnginePreview::cleanup()
{
    m_control.reset();
}

void tst_EnginePreview::zoomStaysInBounds_data()
{
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("zoom");
    QTest::newRow("below minimum") << 5 << 10;
    QTest::newRow("negative") << -20 << 10;
    QTest::newRow("minimum") << 10 << 10;
    QTest::newRow("inside") << 150 << 150;
    QTest::newRow("maximum") << 300 << 300;
    QTest::newRow("above maximum") << 310 << 300;
}

void tst_EnginePreview::zoomStaysInBounds()
{
    QFETCH(int, requested);
    QFETCH(int, zoom);
    QCOMPARE(m_control->zoom(), 100);
    QSignalSpy changed(m_control.get(), &ReportPreviewControl::zoomChanged);
    m_control->setZoom(requested);
    QCOMPARE(m_control->zoom(), zoom);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.at(0).at(0).toInt(), zoom);
    m_control->setZoom(requested);
    QCOMPARE(changed.size(), 1);
}

void tst_EnginePreview::fitPageAndWidth_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("landscape window") << QSize(800, 600);
    QTest::newRow("tall window") << QSize(400, 900);
    QTest::newRow("wide strip") << QSize(1600, 300);
    QTest::newRow("large window") << QSize(1900, 1400);
}

void tst_EnginePreview::fitPageAndWidth()
{
    QFETCH(QSize, size);
    m_control->resize(size);
    EngineTestReport report(100);
    m_control->setPageStore(report.generate());
    const int margin = 2 * ReportPreviewControl::DeskMargin;

    m_control->zoomToFit();
    const int fit = m_control->zoom();
    const QSize area = m_control->maximumViewportSize();
    QVERIFY(fit >= ReportPreviewControl::MinZoom && fit <= ReportPreviewControl::MaxZoom);
    const QSizeF page = A4Pixels(*m_control, fit);
    QVERIFY2(page.width() + margin <= area.width() + 1 && page.height() + margin <= area.height() + 1,
             "the whole page fits");
    const QSizeF larger = A4Pixels(*m_control, fit + 1);
    QVERIFY2(fit == ReportPreviewControl::MaxZoom || larger.width() + margin > area.width()
                 || larger.height() + margin > area.height(),
             "no larger zoom would fit");
    QCOMPARE(m_control->verticalScrollBar()->maximum(), 0);
    // The scroll area shows and hides its bars from the event loop.
    QTRY_VERIFY(!m_control->verticalScrollBar()->isVisible() && !m_control->horizontalScrollBar()->isVisible());

    m_control->zoomToWidth();
    const int width = m_control->zoom();
    QVERIFY(width >= fit);
    QCOMPARE(m_control->horizontalScrollBar()->maximum(), 0);
    QTRY_VERIFY(!m_control->horizontalScrollBar()->isVisible());
    QTRY_COMPARE(m_control->verticalScrollBar()->isVisible(), m_control->verticalScrollBar()->maximum() > 0);
    const int room = m_control->viewport()->width();
    QVERIFY2(A4Pixels(*m_control, width).width() + margin <= room + 1, "the page's width fits");
    QVERIFY2(width == ReportPreviewControl::MaxZoom || A4Pixels(*m_control, width + 1).width() + margin > room - 1,
             "no wider zoom would fit");
}

void tst_EnginePreview::pageNumbers()
{
    QSignalSpy available(m_control.get(), &ReportPreviewControl::pageAvailable);
    QSignalSpy changed(m_control.get(), &ReportPreviewControl::pageNumberChanged);
    QCOMPARE(m_control->pageNumber(), 0);

    EngineTestReport report(100);
    const auto pages = report.generate();
    m_control->setPageStore(pages);
    QCOMPARE(m_control->pageCount(), 3);
    QCOMPARE(m_control->pageNumber(), 1);
    QCOMPARE(available.size(), 1);
    QCOMPARE(available.last().at(0).toInt(), 3);

    const QList<QPair<int, int>> moves{{3, 3}, {5, 3}, {2, 2}, {0, 1}, {-4, 1}, {3, 3}};
    for (const auto &[asked, shown] : moves) {
        m_control->setPageNumber(asked);
        QCOMPARE(m_control->pageNumber(), shown);
    }
    QCOMPARE(changed.size(), 5); // 1 on attach, then 3, 2, 1, 3

    pages->clear();
    QCOMPARE(m_control->pageNumber(), 0);
    QCOMPARE(available.last().at(0).toInt(), 0);

    PageStore loaded;
    PrintFile::loadBytes(loaded, PrintFile::toBytes(*report.generate()));
    m_control->setPageStore(std::shared_ptr<PageStore>(std::shared_ptr<PageStore>{}, &loaded));
    QCOMPARE(m_control->pageNumber(), 1);
    m_control->setPageStore(nullptr);
    QCOMPARE(m_control->pageNumber(), 0);
    QCOMPARE(m_control->pageCount(), 0);
    QCOMPARE(available.last().at(0).toInt(), 0);
}

void tst_EnginePreview::followsAGeneratingReport()
{
    EngineTestReport report(10000);
    const int expected = report.prepare();
    report.setOnPreview([this](const std::shared_ptr<PageStore> &pages) { m_control->setPageStore(pages); });
    QSignalSpy available(m_control.get(), &ReportPreviewControl::pageAvailable);
    QSignalSpy progress(m_control.get(), &ReportPreviewControl::progressChanged);
    PaintCounter counter;
    m_control->viewport()->installEventFilter(&counter);

    const auto pages = report.preview();
    QCOMPARE(m_control->pageStore(), pages);
    int paintsWhileGenerating = 0;
    connect(pages.get(), &PageStore::pageAdded, this, [&] { paintsWhileGenerating = counter.paints; });
    QTRY_VERIFY_WITH_TIMEOUT(pages->isFinished(), 30000);

    QCOMPARE(m_control->pageCount(), expected);
    QCOMPARE(m_control->pageNumber(), 1);
    QVERIFY(available.size() >= expected + 1);
    QCOMPARE(available.last().at(0).toInt(), expected);
    QCOMPARE(progress.last().at(0).toInt(), 100);
    QVERIFY2(paintsWhileGenerating > 1,
             qPrintable(u"the view painted %1 times while the report ran"_s.arg(paintsWhileGenerating)));
}

void tst_EnginePreview::scrollsVertically()
{
    EngineTestReport report(10);
    m_control->setPageStore(report.generate());
    m_control->setZoom(200);
    QVERIFY(m_control->isAtTop());
    QVERIFY(!m_control->isAtBottom());
    m_control->scrollVertically(10);
    QCOMPARE(m_control->verticalScrollBar()->value(), 10 * m_control->verticalScrollBar()->singleStep());
    QVERIFY(!m_control->isAtTop());
    m_control->scrollVertically(-100);
    QVERIFY(m_control->isAtTop());
    m_control->scrollVertically(100000);
    QVERIFY(m_control->isAtBottom());
    // Another page starts at its top.
    m_control->setPageNumber(1);
    QVERIFY(!m_control->isAtTop());
}

void tst_EnginePreview::paintsThePage()
{
    EngineTestReport report(100);
    m_control->setPageStore(report.generate());
    m_control->zoomToFit();
    const QImage image = m_control->viewport()->grab().toImage();
    QCOMPARE(QColor(image.pixel(2, 2)), QColor(0x80, 0x80, 0x80));
    // The header band's grey and dark text show on the white sheet.
    int dark = 0;
    int white = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int gray = qGray(image.pixel(x, y));
            dark += gray < 80;
            white += gray == 255;
        }
    }
    QVERIFY2(white > image.width() * image.height() / 4, "a white sheet");
    QVERIFY2(dark > 500, "text and lines on it");
}

void tst_EnginePreview::printsToAPdfFile_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QStringList>("footers");
    QTest::newRow("all pages") << 0 << 0 << QStringList{u"Strona 1"_s, u"Strona 2"_s, u"Strona 3"_s};
    QTest::newRow("second page") << 2 << 2 << QStringList{u"Strona 2"_s};
    QTest::newRow("from the second") << 2 << 0 << QStringList{u"Strona 2"_s, u"Strona 3"_s};
    QTest::newRow("last past the end") << 3 << 9 << QStringList{u"Strona 3"_s};
}

void tst_EnginePreview::printsToAPdfFile()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QStringList, footers);
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QSKIP("poppler-utils not installed");

    QTemporaryDir dir;
    EngineTestReport report(100);
    ReportPrinterSettings &settings = report.printerSettings();
    settings.outputFileName = dir.filePath(u"wydruk.pdf"_s);
    settings.firstPage = first;
    settings.lastPage = last;
    ReportPrinter::printReport(report);

    QProcess process;
    process.start(u"pdftotext"_s, {settings.outputFileName, u"-"_s});
    QVERIFY(process.waitForFinished(30000));
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    const QStringList sheets = text.split(u'\f', Qt::SkipEmptyParts);
    QCOMPARE(sheets.size(), footers.size());
    for (int i = 0; i < footers.size(); ++i)
        QVERIFY2(sheets.at(i).contains(footers.at(i)), qPrintable(footers.at(i)));
}

QTEST_MAIN(tst_EnginePreview)
#include "tst_engine_preview.moc"
