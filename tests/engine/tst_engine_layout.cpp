#include "testing/EngineTestReport.h"

#include "common/Errors.h"
#include "engine/PageStore.h"
#include "engine/ReportUnits.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {

int CountText(const ReportPage &page, const QString &text)
{
    return int(std::count_if(page.texts.begin(), page.texts.end(), [&](const PageText &t) { return t.text == text; }));
}

// Row numbers printed on the page, in order ("Wiersz n").
QList<int> RowsOn(const ReportPage &page)
{
    QList<int> rows;
    for (const PageText &t : page.texts) {
        if (t.text.startsWith(u"Wiersz "))
            rows.append(t.text.mid(7).toInt());
    }
    return rows;
}

const PageText *FindText(const ReportPage &page, const QString &text)
{
    for (const PageText &t : page.texts) {
        if (t.text == text)
            return &t;
    }
    return nullptr;
}

// A report with one title band of the given height holding one label.
struct OneLabelReport
{
    BandedReport report;
    ReportLabel *label;
    explicit OneLabelReport(double bandHeightMm = 30)
    {
        report.setFont(ReportFont(QStringLiteral("Arial"), 8));
        label = &report.addBand(BandKind::Title, QStringLiteral("TitleBand"), bandHeightMm)
                     .addLabel(QStringLiteral("L"), 0, 0);
    }
    ReportPage page()
    {
        const auto pages = report.generate();
        return pages->page(0);
    }
};

} // namespace

class tst_EngineLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pagination_data();
    void pagination();
    void printIfEmpty_data();
    void printIfEmpty();
    void textSizedLabelKeepsItsEdge_data();
    void textSizedLabelKeepsItsEdge();
    void wordWrap_data();
    void wordWrap();
    void bandDecorationAndSwitches();
    void eventsPerRun_data();
    void eventsPerRun();
    void bandTallerThanPageDoesNotLoop();
    void previewGeneratesInSlices();
    void cancelStopsPreview();
    void errorInHandlerEndsRun();
    void storeReadsOutsideItsPagesAreEngineErrors();
};

void tst_EngineLayout::pagination_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("rowsPerPage");

    const int first = EngineTestReport::RowsOnFirstPage;
    const int later = EngineTestReport::RowsOnLaterPages;
    QTest::newRow("one row") << 1 << QList<int>{1};
    QTest::newRow("summary still fits") << 42 << QList<int>{42};
    QTest::newRow("summary spills") << 43 << QList<int>{43, 0};
    QTest::newRow("first page full") << first << QList<int>{first, 0};
    QTest::newRow("one row over") << first + 1 << QList<int>{first, 1};
    QTest::newRow("two pages with summary") << 91 << QList<int>{first, 47};
    QTest::newRow("summary to third page") << 92 << QList<int>{first, 48, 0};
    QTest::newRow("second page full") << first + later << QList<int>{first, later, 0};
    QList<int> many{first};
    for (int i = 0; i < 19; ++i)
        many.append(later);
    many.append(1000 - first - 19 * later);
    QTest::newRow("thousand rows") << 1000 << many;
}

void tst_EngineLayout::pagination()
{
    QFETCH(int, rows);
    QFETCH(QList<int>, rowsPerPage);

    EngineTestReport report(rows);
    const int prepared = report.prepare();
    const auto pages = report.generate();
    QCOMPARE(pages->pageCount(), rowsPerPage.size());
    QCOMPARE(prepared, pages->pageCount());
    QVERIFY(pages->isFinished());

    int nextRow = 1;
    const int last = pages->pageCount() - 1;
    for (int p = 0; p <= last; ++p) {
        const ReportPage &page = pages->page(p);
        const QByteArray where = "page " + QByteArray::number(p + 1);
        QCOMPARE(page.width, 21000);
        QCOMPARE(page.height, 29700);
        QVERIFY2(CountText(page, QStringLiteral("Nazwa")) == 1, "column header once on " + where);
        QVERIFY2(CountText(page, QStringLiteral("Rozrachunki roku")) == (p == 0 ? 1 : 0),
                 "title only on page 1: " + where);
        QVERIFY2(CountText(page, QStringLiteral("Stan początkowy:")) == (p == 0 ? 1 : 0),
                 "child band only on page 1: " + where);
        QVERIFY2(CountText(page, QStringLiteral("Strona %1").arg(p + 1)) == 1, "footer on " + where);
        QVERIFY2(CountText(page, QStringLiteral("Strona ostatnia")) == (p == last ? 1 : 0), "last-page mark: " + where);
        QVERIFY2(CountText(page, QStringLiteral("RAZEM")) == (p == last ? 1 : 0), "summary: " + where);

        const QList<int> onPage = RowsOn(page);
        QCOMPARE(onPage.size(), rowsPerPage.at(p));
        for (int row : onPage)
            QCOMPARE(row, nextRow++);

        // Nothing of the body may reach into the footer band.
        const int footerTop = 2000 + 25700 - 500;
        for (const PageText &t : page.texts) {
            if (!t.text.startsWith(u"Strona"))
                QVERIFY2(t.y + t.height <= footerTop,
                         qPrintable(t.text + u" overlaps the footer on "_s + QString::fromLatin1(where)));
        }
    }
    QCOMPARE(nextRow, rows + 1);

    // A second run starts afresh and gives the same pages.
    const auto again = report.generate();
    QVERIFY(again->pages() == pages->pages());
}

void tst_EngineLayout::printIfEmpty_data()
{
    QTest::addColumn<bool>("printIfEmpty");
    QTest::addColumn<int>("pages");
    QTest::newRow("print if empty") << true << 1;
    QTest::newRow("nothing when empty") << false << 0;
}

void tst_EngineLayout::printIfEmpty()
{
    QFETCH(bool, printIfEmpty);
    QFETCH(int, pages);

    EngineTestReport report(0);
    report.setPrintIfEmpty(printIfEmpty);
    QCOMPARE(report.prepare(), pages);
    const auto store = report.generate();
    QCOMPARE(store->pageCount(), pages);
    QCOMPARE(report.needDataCalls, 2);
    QCOMPARE(report.beforePrintCalls, 2);
    if (pages == 1) {
        const ReportPage &page = store->page(0);
        for (const char *text :
             {"Rozrachunki roku", "Nazwa", "Stan początkowy:", "RAZEM", "Strona 1", "Strona ostatnia"})
            QVERIFY2(CountText(page, QString::fromUtf8(text)) == 1, text);
        QVERIFY(RowsOn(page).isEmpty());
    }
}

void tst_EngineLayout::textSizedLabelKeepsItsEdge_data()
{
    QTest::addColumn<TextAlignment>("alignment");
    QTest::addColumn<QString>("text");

    for (const QString &text : {u"1,00"_s, u"1 234 567,89"_s, u"Wyemitowano z programu: Domvel-E-Vadiv"_s}) {
        QTest::addRow("right %s", qPrintable(text)) << TextAlignment::Right << text;
        QTest::addRow("left %s", qPrintable(text)) << TextAlignment::Left << text;
        QTest::addRow("centre %s", qPrintable(text)) << TextAlignment::Center << text;
    }
}

void tst_EngineLayout::textSizedLabelKeepsItsEdge()
{
    QFETCH(TextAlignment, alignment);
    QFETCH(QString, text);

    OneLabelReport r;
    // Designed 30 mm wide at 50 mm: right edge 80 mm, centre 65 mm.
    r.label->setGeometryMm(50, 2, 30, 0);
    r.label->setAutoSize(true).setAlignment(alignment).setCaption(text);
    const ReportPage page = r.page();
    QCOMPARE(page.texts.size(), size_t(1));
    const PageText &t = page.texts.front();
    const int left = r.report.pageSetup().printableLeft();
    QVERIFY2(t.width > 0, "the label takes the width of its text");
    switch (alignment) {
    case TextAlignment::Right: QCOMPARE(t.x + t.width, left + 8000); break;
    case TextAlignment::Left: QCOMPARE(t.x, left + 5000); break;
    case TextAlignment::Center: QVERIFY(qAbs(t.x + t.width / 2 - (left + 6500)) <= 1); break;
    }
    QCOMPARE(t.alignment, alignment);
    QCOMPARE(t.y, r.report.pageSetup().printableTop() + 200);
}

void tst_EngineLayout::wordWrap_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<bool>("wrap");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("two lines in a two-line box")
        << 18.6 << 7.7 << true << u"Data operacji"_s << QStringList{u"Data"_s, u"operacji"_s};
    QTest::newRow("box holds one line") << 18.6 << 4.0 << true << u"Data operacji"_s << QStringList{u"Data"_s};
    QTest::newRow("no wrap") << 18.6 << 7.7 << false << u"Data operacji"_s << QStringList{u"Data operacji"_s};
    QTest::newRow("fits on one line") << 40.0 << 7.7 << true << u"Data operacji"_s << QStringList{u"Data operacji"_s};
    QTest::newRow("line break") << 40.0 << 7.7 << true << u"Termin\npłatności"_s
                                << QStringList{u"Termin"_s, u"płatności"_s};
    QTest::newRow("word longer than the box")
        << 8.0 << 20.0 << true << u"Współczynnik"_s << QStringList{u"Wspó"_s, u"łczy"_s, u"nnik"_s};
}

void tst_EngineLayout::wordWrap()
{
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(bool, wrap);
    QFETCH(QString, text);
    QFETCH(QStringList, lines);

    OneLabelReport r;
    r.label->setGeometryMm(10, 0, width, height);
    r.label->setAutoSize(false).setWordWrap(wrap).setAlignment(TextAlignment::Center).setCaption(text);
    r.label->setFont(ReportFont(QStringLiteral("Courier New"), 8, true));
    const ReportPage page = r.page();
    QStringList got;
    int previousTop = -1;
    for (const PageText &t : page.texts) {
        got << t.text;
        QVERIFY2(t.y > previousTop, "lines go down the box");
        previousTop = t.y;
        if (wrap)
            QVERIFY2(t.width <= ReportUnits::FromMillimetres(width), qPrintable(t.text + u" is wider than its box"_s));
    }
    QCOMPARE(got, lines);
}

void tst_EngineLayout::bandDecorationAndSwitches()
{
    BandedReport report;
    ReportBand &band = report.addBand(BandKind::Title, QStringLiteral("B"), 10);
    band.setBackgroundColor(QColor(0xEE, 0xEE, 0xEE)).setFrame(ReportBand::Frame::all(2));
    band.addLabel(QStringLiteral("Off"), 0, 0).setCaption(QStringLiteral("niewidoczny")).setEnabled(false);
    band.addLabel(QStringLiteral("Filled"), 10, 1, 20, 4)
        .setCaption(QStringLiteral("wypełniony"))
        .setTransparent(false)
        .setColor(Qt::yellow);
    band.addVerticalLine(QStringLiteral("V"), 35.8, 0, 10, 2);
    band.addHorizontalLine(QStringLiteral("H"), 0, 5.5, 0).setEnabled(false);

    const auto pages = report.generate();
    const ReportPage &page = pages->page(0);
    const int x = report.pageSetup().printableLeft();
    const int y = report.pageSetup().printableTop();
    QVERIFY(!FindText(page, QStringLiteral("niewidoczny")));
    QVERIFY(FindText(page, QStringLiteral("wypełniony")));

    QCOMPARE(page.rects.size(), size_t(2));
    QCOMPARE(page.rects[0], (PageRect{x, y, band.width(), 1000, QColor(0xEE, 0xEE, 0xEE).rgba(), 0, 0}));
    QCOMPARE(page.rects[1].fill, QColor(Qt::yellow).rgba());
    QCOMPARE(page.rects[1].x, x + 1000);
    QCOMPARE(page.rects[1].width, 2000);

    // The vertical line and four frame sides; the disabled line is left out.
    QCOMPARE(page.lines.size(), size_t(5));
    const PageLine &vertical = page.lines[0];
    QCOMPARE(vertical, (PageLine{x + 3580, y, x + 3580, y + 1000, 0xFF000000, ReportUnits::FromDesignPixels(2)}));
}

void tst_EngineLayout::eventsPerRun_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("one page") << 3;
    QTest::newRow("three pages") << 100;
}

void tst_EngineLayout::eventsPerRun()
{
    QFETCH(int, rows);
    EngineTestReport report(rows);
    int lastPageFooters = 0;
    int exportingSeen = 0;
    ReportBand &footer = *report.band(BandKind::PageFooter);
    footer.setOnAfterPrint([&](ReportBand &) {
        lastPageFooters += report.isLastPage() ? 1 : 0;
        exportingSeen += report.isExporting() ? 1 : 0;
    });

    const int pages = report.prepare();
    QVERIFY(!report.isRunning());
    QCOMPARE(report.preparedPageCount(), pages);
    QCOMPARE(report.beforePrintCalls, 1);
    QCOMPARE(report.needDataCalls, rows + 1);
    QCOMPARE(report.footerCalls, pages);
    QCOMPARE(lastPageFooters, 1);
    QCOMPARE(exportingSeen, 0);
    QCOMPARE(report.pageNumber(), 0);
}

void tst_EngineLayout::bandTallerThanPageDoesNotLoop()
{
    EngineTestReport report(3);
    report.band(BandKind::Detail)->setHeightMm(400);
    const auto pages = report.generate();
    // Each row gets a page of its own; the summary follows on a fourth.
    QCOMPARE(pages->pageCount(), 4);
    for (int p = 0; p < 3; ++p)
        QCOMPARE(RowsOn(pages->page(p)), QList<int>{p + 1});
}

void tst_EngineLayout::previewGeneratesInSlices()
{
    EngineTestReport report(10000);
    const int expected = report.prepare();
    std::shared_ptr<PageStore> handed;
    report.setOnPreview([&](const std::shared_ptr<PageStore> &pages) { handed = pages; });

    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(0);
    connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start();

    const auto store = report.preview();
    QCOMPARE(handed, store);
    QCOMPARE(store->status(), PageStore::Status::Generating);
    QCOMPARE(store->pageCount(), 0);

    int pagesWhileGenerating = 0;
    int ticksAtFirstPage = -1;
    QList<int> progress;
    connect(store.get(), &PageStore::pageAdded, [&] {
        if (store->status() == PageStore::Status::Generating)
            ++pagesWhileGenerating;
        if (ticksAtFirstPage < 0)
            ticksAtFirstPage = ticks;
    });
    connect(store.get(), &PageStore::progressChanged, [&](int percent) { progress << percent; });

    QTRY_VERIFY_WITH_TIMEOUT(store->isFinished(), 30000);
    QCOMPARE(store->pageCount(), expected);
    QCOMPARE(pagesWhileGenerating, expected);
    QVERIFY(!store->wasCancelled());
    // The event loop ran between slices: other timers kept firing meanwhile.
    QVERIFY2(ticks > ticksAtFirstPage + 10, qPrintable(QStringLiteral("only %1 event loop turns").arg(ticks)));
    QVERIFY(std::is_sorted(progress.begin(), progress.end()));
    QVERIFY(progress.size() > 10);
    QCOMPARE(progress.last(), 100);
    QVERIFY(!report.isRunning());
}

void tst_EngineLayout::cancelStopsPreview()
{
    EngineTestReport report(10000);
    const auto store = report.preview();
    connect(store.get(), &PageStore::pageAdded, store.get(), [&](int count) {
        if (count == 2)
            store->cancel();
    });
    QTRY_VERIFY_WITH_TIMEOUT(store->isFinished(), 10000);
    QVERIFY(store->wasCancelled());
    QVERIFY(store->pageCount() >= 2);
    QVERIFY(store->pageCount() < 50);
    QVERIFY(!report.isRunning());

    // The report runs again normally after a cancelled run.
    QCOMPARE(report.generate()->pageCount(), report.prepare());
}

void tst_EngineLayout::errorInHandlerEndsRun()
{
    EngineTestReport report(100);
    report.band(BandKind::Summary)->setOnBeforePrint([](ReportBand &, bool &) {
        throw AppError(QStringLiteral("Indeks poza zakresem"));
    });
    QVERIFY_THROWS_EXCEPTION(AppError, report.generate());
    QVERIFY(!report.isRunning());
    report.band(BandKind::Summary)->setOnBeforePrint({});
    QCOMPARE(report.generate()->pageCount(), 3);
}

// A page or font the store does not hold is the engine's own error, with no
// user text: the program words it.
void tst_EngineLayout::storeReadsOutsideItsPagesAreEngineErrors()
{
    EngineTestReport report(3);
    const std::shared_ptr<PageStore> pages = report.generate();
    QVERIFY(pages && pages->pageCount() == 1);
    for (int index : {-1, 1}) {
        try {
            pages->page(index);
            QFAIL("no error for a page outside the store");
        } catch (const ReportEngineError &e) {
            QCOMPARE(e.kind(), ReportEngineError::Kind::NoSuchPage);
            QCOMPARE(e.details().number, index);
        }
    }
    QVERIFY_THROWS_EXCEPTION(ReportEngineError, pages->font(int(pages->fonts().size())));
}

QTEST_MAIN(tst_EngineLayout)
#include "tst_engine_layout.moc"
