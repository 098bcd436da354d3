#include "testing/PrnGenTestReport.h"

#include "controls/TWBitBtn.h"
#include "controls/TWSpeedButton.h"
#include "engine/BandedReport.h"
#include "engine/PageStore.h"
#include "engine/PrintFile.h"
#include "engine_widgets/ReportPreviewControl.h"
#include "forms/TApplication.h"
#include "reports/TPrn_Preview.h"
#include "testing/MessageRecorder.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QKeySequence>
#include <QProgressBar>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kNotAPrintFile = u"Plik nie zawiera zapamiętanego wydruku albo jest uszkodzony"_s;

enum class FileKind { PrintFile, Text, Html, Pdf, Unknown };

FileKind KindOfFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return FileKind::Unknown;
    const QByteArray bytes = file.readAll();
    if (bytes.startsWith("DVPRN\r\n\x1A"))
        return FileKind::PrintFile;
    if (bytes.startsWith("%PDF-"))
        return FileKind::Pdf;
    if (bytes.startsWith("<!DOCTYPE html>"))
        return FileKind::Html;
    if (bytes.contains("Wiersz 1") && !bytes.contains('\0'))
        return FileKind::Text;
    return FileKind::Unknown;
}

void WriteFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

Q_DECLARE_METATYPE(FileKind)

class tst_Preview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void opensMaximizedOnTop();
    void zoomSpinnerStepsWithinBounds();
    void zoomButtons();
    void pagingKeys_data();
    void pagingKeys();
    void onePageAndPageButtons();
    void arrowKeysScroll();
    void windowKeys_data();
    void windowKeys();
    void progressPanelFollowsTheGeneration();
    void closingDuringGenerationStopsIt();
    void saveByExtension_data();
    void saveByExtension();
    void saveIgnoredWhileGenerating();
    void loadedPrintFileShowsItsPages();
    void loadFailureClosesAndReports_data();
    void loadFailureClosesAndReports();
    void printsOnTheSelectedPrinter();
    void focusReturnsOnClose();
    void takesInputOverAModalWindow();
    void firstPageOfALongReport();

private:
    template<typename T>
    T *child(const QString &name) const
    {
        return m_preview->findChild<T *>(name);
    }
    QString pageText() const { return child<QSpinBox>(u"UpDown_Seite"_s)->text(); }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *target = m_preview->focusWidget() ? m_preview->focusWidget() : m_preview.get();
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    }
    void click(const QString &button) { QTest::mouseClick(child<QAbstractButton>(button), Qt::LeftButton); }
    // Previews a finished report of `rows` rows in the shown window.
    std::shared_ptr<PageStore> showReport(int rows);

    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<TPrn_Preview> m_preview;
    std::unique_ptr<TestPrnReport> m_report;
    QStringList m_chosenFiles;
    int m_dialogsShown = 0;
};

void tst_Preview::initTestCase()
{
    TPrn_Gen::SetPrinterLookup([] { return std::optional<ReportPrinterSettings>(); });
}

void tst_Preview::cleanupTestCase()
{
    TPrn_Gen::SetPrinterLookup(nullptr);
}

void tst_Preview::init()
{
    m_messages = std::make_unique<MessageRecorder>();
    m_preview = std::make_unique<TPrn_Preview>();
    SetPrn_Preview(m_preview.get());
    m_chosenFiles.clear();
    m_dialogsShown = 0;
    m_preview->SetFileNameChooser([this](QWidget *, TPrn_Preview::FileDialogKind) {
        ++m_dialogsShown;
        return m_chosenFiles.isEmpty() ? QString() : m_chosenFiles.takeFirst();
    });
}

void tst_Preview::cleanup()
{
    m_report.reset();
    SetPrn_Preview(nullptr);
    m_preview.reset();
    m_messages.reset();
    TPrn_Gen::SetPrinterLookup([] { return std::optional<ReportPrinterSettings>(); });
}

std::shared_ptr<PageStore> tst_Preview::showReport(int rows)
{
    m_report = std::make_unique<TestPrnReport>(rows);
    auto pages = PreviewAndWait(*m_report);
    if (pages && !QTest::qWaitForWindowExposed(m_preview.get()))
        return nullptr;
    return pages;
}

void tst_Preview::opensMaximizedOnTop()
{
    QVERIFY(!m_preview->isVisible());
    QVERIFY(showReport(3));
    QVERIFY(m_preview->isVisible());
    QVERIFY(m_preview->windowState() & Qt::WindowMaximized);
    QVERIFY(m_preview->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!(m_preview->windowFlags() & Qt::WindowCloseButtonHint));
    QCOMPARE(m_preview->windowTitle(), u"Podgląd wydruku"_s);
    QCOMPARE(child<QAbstractButton>(u"ButtonHelp"_s)->text(), u" F1"_s);
}

void tst_Preview::zoomSpinnerStepsWithinBounds()
{
    QVERIFY(showReport(3));
    QSpinBox *zoom = child<QSpinBox>(u"UpDown_Zoom"_s);
    ReportPreviewControl *view = m_preview->PreviewControl();

    click(u"But_Zoom_100"_s);
    zoom->stepUp();
    QCOMPARE(view->zoom(), 110);
    zoom->stepDown();
    zoom->stepDown();
    QCOMPARE(view->zoom(), 90);
    QCOMPARE(zoom->text(), u"90"_s);

    for (int i = 0; i < 40; ++i)
        zoom->stepUp();
    QCOMPARE(view->zoom(), 300);
    QCOMPARE(zoom->text(), u"300"_s);
    for (int i = 0; i < 40; ++i)
        zoom->stepDown();
    QCOMPARE(view->zoom(), 10);
    QCOMPARE(zoom->text(), u"10"_s);
}

void tst_Preview::zoomButtons()
{
    QVERIFY(showReport(3));
    QSpinBox *zoom = child<QSpinBox>(u"UpDown_Zoom"_s);
    ReportPreviewControl *view = m_preview->PreviewControl();
    // A report's preview opens at 100 %: the window is shown before the first page exists.
    QCOMPARE(view->zoom(), 100);
    QCOMPARE(zoom->text(), u"100"_s);
    click(u"But_Zoom_Page"_s);
    const int widthZoom = view->zoom();
    QCOMPARE(zoom->value(), widthZoom);
    QVERIFY(widthZoom != 100);

    click(u"But_Zoom_100"_s);
    QCOMPARE(view->zoom(), 100);
    QCOMPARE(zoom->value(), 100);
    click(u"But_Zoom_Fit"_s);
    const int fitZoom = view->zoom();
    QCOMPARE(zoom->value(), fitZoom);
    // A whole A4 page in a landscape-shaped window is narrower than its width.
    QVERIFY2(fitZoom < widthZoom, qPrintable(u"fit %1, width %2"_s.arg(fitZoom).arg(widthZoom)));
    click(u"But_Zoom_Page"_s);
    QCOMPARE(view->zoom(), widthZoom);
    QCOMPARE(zoom->value(), widthZoom);
}

void tst_Preview::pagingKeys_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<int>("page");
    QTest::newRow("Page Down") << QKeySequence(u"PgDown"_s) << 2;
    QTest::newRow("Page Down past the last page") << QKeySequence(u"PgDown, PgDown, PgDown, PgDown"_s) << 3;
    QTest::newRow("Page Up on the first page") << QKeySequence(u"PgUp"_s) << 1;
    QTest::newRow("Ctrl+End") << QKeySequence(u"Ctrl+End"_s) << 3;
    QTest::newRow("Ctrl+End, Page Up") << QKeySequence(u"Ctrl+End, PgUp"_s) << 2;
    QTest::newRow("Ctrl+End, Ctrl+Home") << QKeySequence(u"Ctrl+End, Ctrl+Home"_s) << 1;
    QTest::newRow("End without Ctrl") << QKeySequence(u"PgDown, End"_s) << 2;
    QTest::newRow("Home without Ctrl") << QKeySequence(u"PgDown, Home"_s) << 2;
}

void tst_Preview::pagingKeys()
{
    QFETCH(QKeySequence, keys);
    QFETCH(int, page);

    QVERIFY(showReport(120));
    QCOMPARE(pageText(), u"1/3"_s);
    for (int i = 0; i < keys.count(); ++i)
        press(keys[i].key(), keys[i].keyboardModifiers());
    QCOMPARE(pageText(), u"%1/3"_s.arg(page));
    QCOMPARE(m_preview->PreviewControl()->pageNumber(), page);
    QVERIFY(m_preview->isVisible());
}

void tst_Preview::onePageAndPageButtons()
{
    QVERIFY(showReport(3));
    QCOMPARE(pageText(), u"1/1"_s);
    QVERIFY(!child<QWidget>(u"But_Page_First"_s)->isEnabled());
    QVERIFY(!child<QWidget>(u"But_Page_Last"_s)->isEnabled());

    // A second report in the open window replaces the first.
    QVERIFY(showReport(120));
    QCOMPARE(pageText(), u"1/3"_s);
    QVERIFY(child<QWidget>(u"But_Page_First"_s)->isEnabled());
    click(u"But_Page_Last"_s);
    QCOMPARE(pageText(), u"3/3"_s);
    QCOMPARE(m_preview->PreviewControl()->pageNumber(), 3);
    click(u"But_Page_First"_s);
    QCOMPARE(pageText(), u"1/3"_s);
    child<QSpinBox>(u"UpDown_Seite"_s)->stepUp();
    QCOMPARE(m_preview->PreviewControl()->pageNumber(), 2);
}

void tst_Preview::arrowKeysScroll()
{
    QVERIFY(showReport(3));
    click(u"But_Zoom_100"_s);
    QScrollBar *bar = m_preview->PreviewControl()->verticalScrollBar();
    QVERIFY2(bar->maximum() > 0, "a page at 100 % is taller than the window");
    QCOMPARE(bar->value(), 0);

    press(Qt::Key_Up);
    QCOMPARE(bar->value(), 0);
    press(Qt::Key_Down);
    QCOMPARE(bar->value(), 10 * bar->singleStep());
    press(Qt::Key_Down);
    QCOMPARE(bar->value(), 20 * bar->singleStep());
    press(Qt::Key_Up);
    QCOMPARE(bar->value(), 10 * bar->singleStep());
    for (int i = 0; i < 200; ++i)
        press(Qt::Key_Down);
    QCOMPARE(bar->value(), bar->maximum());
}

void tst_Preview::windowKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("staysOpen");
    QTest::addColumn<QString>("message");
    QTest::newRow("Escape") << int(Qt::Key_Escape) << Qt::KeyboardModifiers() << false << QString();
    QTest::newRow("Alt+F4") << int(Qt::Key_F4) << Qt::KeyboardModifiers(Qt::AltModifier) << true << QString();
    QTest::newRow("Ctrl+Alt+F4") << int(Qt::Key_F4) << (Qt::AltModifier | Qt::ControlModifier) << true << QString();
    QTest::newRow("F10") << int(Qt::Key_F10) << Qt::KeyboardModifiers() << true << QString();
    QTest::newRow("F1") << int(Qt::Key_F1) << Qt::KeyboardModifiers() << true << TPrn_Preview::HelpText();
}

void tst_Preview::windowKeys()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, staysOpen);
    QFETCH(QString, message);

    const auto pages = showReport(120);
    QVERIFY(pages);
    press(key, modifiers);
    QCOMPARE(m_preview->isVisible(), staysOpen);
    QCOMPARE(m_messages->texts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (staysOpen) {
        QCOMPARE(m_preview->ShownPages(), pages);
        QCOMPARE(pages->pageCount(), 3);
    } else {
        // Closing hides the window and lets the pages go.
        QVERIFY(!m_preview->ShownPages());
        QCOMPARE(pages->pageCount(), 0);
        QCOMPARE(pageText(), u"0/0"_s);
    }
}

void tst_Preview::progressPanelFollowsTheGeneration()
{
    m_report = std::make_unique<TestPrnReport>(3000);
    QVERIFY(m_report->PreviewReport());
    const auto pages = m_preview->ShownPages();
    QVERIFY(pages);
    QWidget *panel = child<QWidget>(u"Panel_Progress"_s);
    QVERIFY(!pages->isFinished());
    QVERIFY(panel->isVisible());

    int highest = 0;
    QProgressBar *bar = child<QProgressBar>(u"ProgressBar"_s);
    QVERIFY(QTest::qWaitFor(
        [&] {
            highest = std::max(highest, bar->value());
            return pages->isFinished();
        },
        20000));
    QVERIFY(!panel->isVisible());
    QVERIFY2(highest > 0, "the bar moved while the pages came");
    QCOMPARE(pageText(), u"1/%1"_s.arg(pages->pageCount()));
    QCOMPARE(pages->pageCount(), m_report->PageCount());
}

void tst_Preview::closingDuringGenerationStopsIt()
{
    m_report = std::make_unique<TestPrnReport>(10000);
    QVERIFY(m_report->PreviewReport());
    const auto pages = m_preview->ShownPages();
    QVERIFY(pages);
    QTRY_VERIFY_WITH_TIMEOUT(pages->pageCount() > 0, 20000);
    QVERIFY2(!pages->isFinished(), "still generating when the window closes");

    click(u"ButtonClose"_s);
    QVERIFY(!m_preview->isVisible());
    QVERIFY(!m_report->Report().isRunning());
    QVERIFY(pages->isFinished());
    QTest::qWait(50);
    QCOMPARE(pages->pageCount(), 0);
}

void tst_Preview::saveByExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<FileKind>("kind");
    QTest::newRow(".txt") << u"raport.txt"_s << FileKind::Text;
    QTest::newRow(".TXT") << u"RAPORT.TXT"_s << FileKind::Text;
    QTest::newRow(".htm") << u"raport.htm"_s << FileKind::Html;
    QTest::newRow(".pdf") << u"raport.pdf"_s << FileKind::Pdf;
    QTest::newRow(".prn") << u"raport.prn"_s << FileKind::PrintFile;
    QTest::newRow(".html") << u"raport.html"_s << FileKind::PrintFile;
    QTest::newRow("no extension") << u"raport"_s << FileKind::PrintFile;
    QTest::newRow("dot in the folder only") << u"wydruki.txt/raport"_s << FileKind::PrintFile;
}

void tst_Preview::saveByExtension()
{
    QFETCH(QString, name);
    QFETCH(FileKind, kind);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath(u"wydruki.txt"_s));
    const QString fileName = dir.filePath(name);
    const auto pages = showReport(120);
    QVERIFY(pages);

    m_chosenFiles = {fileName};
    click(u"But_Save"_s);
    QCOMPARE(m_dialogsShown, 1);
    QVERIFY2(m_messages->messages.isEmpty(), qPrintable(m_messages->texts().join(u'|')));
    QCOMPARE(KindOfFile(fileName), kind);
    if (kind == FileKind::Text || kind == FileKind::Html) {
        // An export runs the report again, without the footer marks.
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.contains("Wiersz 120"));
        QVERIFY(!bytes.contains("Strona ostatnia"));
    }
    if (kind == FileKind::PrintFile) {
        PageStore loaded;
        PrintFile::load(loaded, fileName);
        QVERIFY2(loaded.pages() == pages->pages(), "the print file holds the pages as shown");
    }
    QVERIFY(m_preview->isVisible());
}

void tst_Preview::saveIgnoredWhileGenerating()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    m_report = std::make_unique<TestPrnReport>(10000);
    QVERIFY(m_report->PreviewReport());
    const auto pages = m_preview->ShownPages();
    QTRY_VERIFY_WITH_TIMEOUT(pages->pageCount() > 0, 20000);
    QVERIFY(!pages->isFinished());

    m_chosenFiles = {dir.filePath(u"raport.prn"_s)};
    click(u"But_Save"_s);
    QCOMPARE(m_dialogsShown, 0);

    QTRY_VERIFY_WITH_TIMEOUT(pages->isFinished(), 30000);
    click(u"But_Save"_s);
    QCOMPARE(m_dialogsShown, 1);
    QCOMPARE(KindOfFile(dir.filePath(u"raport.prn"_s)), FileKind::PrintFile);
}

void tst_Preview::loadedPrintFileShowsItsPages()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fileName = dir.filePath(u"trzy.prn"_s);
    std::vector<ReportPage> saved;
    {
        const auto pages = showReport(120);
        QVERIFY(pages);
        PrintFile::save(*pages, fileName);
        saved = pages->pages();
    }
    const auto reportPages = showReport(3);
    QVERIFY(reportPages);
    QCOMPARE(pageText(), u"1/1"_s);
    click(u"But_Zoom_100"_s);

    m_chosenFiles = {fileName};
    click(u"But_Load"_s);
    QVERIFY2(m_messages->messages.isEmpty(), qPrintable(m_messages->texts().join(u'|')));
    QVERIFY(m_preview->isVisible());
    const auto shown = m_preview->ShownPages();
    QVERIFY(shown && shown != reportPages);
    QVERIFY(shown->pages() == saved);
    QCOMPARE(pageText(), u"1/3"_s);
    QVERIFY(child<QWidget>(u"But_Page_Last"_s)->isEnabled());
    // After a load the page fills the width again.
    QVERIFY(m_preview->PreviewControl()->zoom() != 100);
    QCOMPARE(child<QSpinBox>(u"UpDown_Zoom"_s)->value(), m_preview->PreviewControl()->zoom());
    press(Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(pageText(), u"3/3"_s);
    QVERIFY(PageTexts(shown->page(2)).contains(LastPageMark));
}

void tst_Preview::loadFailureClosesAndReports_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("damagedPrintFile");
    QTest::newRow("text file") << QByteArray("Wiersz 1\nWiersz 2\n") << false;
    QTest::newRow("empty file") << QByteArray() << false;
    QTest::newRow("damaged print file") << QByteArray() << true;
}

void tst_Preview::loadFailureClosesAndReports()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, damagedPrintFile);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fileName = dir.filePath(u"zly.prn"_s);
    const auto pages = showReport(3);
    QVERIFY(pages);
    if (damagedPrintFile) {
        content = PrintFile::toBytes(*pages);
        content[content.size() / 2] = char(content[content.size() / 2] ^ 0x55);
    }
    WriteFile(fileName, content);

    m_chosenFiles = {fileName};
    click(u"But_Load"_s);
    QVERIFY(!m_preview->isVisible());
    QVERIFY(!m_preview->ShownPages());
    // The notice, then the error itself from the outer error display.
    QCOMPARE(m_messages->messages.size(), 2);
    QCOMPARE(m_messages->messages[0].text, kNotAPrintFile);
    QCOMPARE(m_messages->messages[0].icon, MessageIcon::Information);
    QCOMPARE(m_messages->messages[0].caption, u"Domvel-E-Vadiv"_s);
    QCOMPARE(m_messages->messages[1].icon, MessageIcon::Error);
    QVERIFY(!m_messages->messages[1].text.isEmpty());
}

void tst_Preview::printsOnTheSelectedPrinter()
{
    const auto pages = showReport(120);
    QVERIFY(pages);
    click(u"ButtonPrint"_s);
    QCOMPARE(
        m_messages->texts(),
        QStringList{u"W systemie Windows nie zainstalowano żadnej drukarki.\nProgram nie może zostać uruchomiony."_s});

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fileName = dir.filePath(u"drukarka.pdf"_s);
    TPrn_Gen::SetPrinterLookup([fileName] {
        ReportPrinterSettings printer;
        printer.outputFileName = fileName;
        return std::optional<ReportPrinterSettings>(printer);
    });
    m_messages->messages.clear();
    click(u"ButtonPrint"_s);
    QVERIFY2(m_messages->messages.isEmpty(), qPrintable(m_messages->texts().join(u'|')));
    QCOMPARE(KindOfFile(fileName), FileKind::Pdf);
    QVERIFY(m_preview->isVisible());
}

void tst_Preview::focusReturnsOnClose()
{
    QWidget owner;
    owner.setWindowTitle(u"Okno główne"_s);
    owner.resize(300, 200);
    owner.show();
    owner.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&owner));

    QVERIFY(showReport(3));
    m_preview->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_preview.get()));
    press(Qt::Key_Escape);
    QVERIFY(!m_preview->isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), &owner);
}

void tst_Preview::takesInputOverAModalWindow()
{
    QDialog card;
    card.setWindowTitle(u"Karta miesiąca"_s);
    card.setWindowModality(Qt::ApplicationModal);
    card.show();
    QVERIFY(QTest::qWaitForWindowExposed(&card));
    QCOMPARE(QApplication::activeModalWidget(), &card);

    QVERIFY(showReport(120));
    QCOMPARE(QApplication::activeModalWidget(), m_preview.get());
    press(Qt::Key_PageDown);
    QCOMPARE(pageText(), u"2/3"_s);
    press(Qt::Key_Escape);
    QVERIFY(!m_preview->isVisible());
    QCOMPARE(QApplication::activeModalWidget(), &card);
    card.close();

    // From the main window the preview is not modal.
    QVERIFY(showReport(3));
    QCOMPARE(m_preview->windowModality(), Qt::NonModal);
}

void tst_Preview::firstPageOfALongReport()
{
    m_report = std::make_unique<TestPrnReport>(10000);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(m_report->PreviewReport());
    const auto pages = m_preview->ShownPages();
    QVERIFY(pages);
    QTRY_VERIFY_WITH_TIMEOUT(pages->pageCount() > 0, 30000);
    const qint64 firstPage = timer.elapsed();
    QCOMPARE(pageText(), u"1/%1"_s.arg(pages->pageCount()));
    QVERIFY(QTest::qWaitFor([&pages] { return pages->isFinished(); }, 60000));
    const qint64 allPages = timer.elapsed();
    qInfo("10000 rows, %d pages: first page shown after %lld ms, all pages after %lld ms", pages->pageCount(),
          firstPage, allPages);
    QCOMPARE(pages->pageCount(), m_report->PageCount());
}

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    tst_Preview test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_preview.moc"
