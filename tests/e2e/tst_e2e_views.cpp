#include "account/Account.h"
#include "service/AccountService.h"
#include "testing/ServerProcess.h"
#include "tour/ClientDriver.h"

#include "account/FormatAmount.h"
#include "account/TU_WEBServiceKsgData.h"
#include "account/TU_WEBServiceSession.h"
#include "app/TForm_ZOKA_WSClient_Main.h"
#include "engine/PageStore.h"
#include "forms/TApplication.h"
#include "reports/TPrn_Gen.h"
#include "reports/TPrn_Preview.h"
#include "service/ServiceAccess.h"
#include "views/TForm_KartMca.h"
#include "views/TForm_NalCzynszDtl.h"
#include "views/TFrame_InfoCzynszTabela.h"
#include "views/TFrame_InfoDokTabela.h"
#include "views/TFrame_InfoRozrTabela.h"
#include "views/TFrame_InfoRozrZasob.h"

#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

// The month the walks open: every demo year has documents in March.
constexpr int kMonth = 3;
// The demo tenant's month without documents, in the year before the current one.
constexpr int kEmptyMonth = 8;

QString LabelText(const QWidget &parent, const QString &name)
{
    const auto *label = parent.findChild<QLabel *>(name);
    return label ? label->text() : u"<brak %1>"_s.arg(name);
}

QString CellText(const QTableWidget *grid, int row, int column)
{
    const QTableWidgetItem *item = grid->item(row, column);
    return item ? item->text() : QString();
}

// True when the widget, as painted on screen, has a strongly coloured pixel
// of the hue of `colour` (the text of a label: its edges are blended with the
// background, so the exact colour need not appear).
bool PaintsHueOf(QWidget &widget, const QColor &colour)
{
    const QImage picture = widget.grab().toImage();
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            if (pixel.hsvSaturation() > 150 && std::abs(pixel.hsvHue() - colour.hsvHue()) <= 10)
                return true;
        }
    }
    return false;
}

// Whitespace of any kind (the group separator is a no-break space) as one space.
QString Normalized(QString text)
{
    static const QRegularExpression spaces(u"[\\s\\x{00A0}\\x{202F}]+"_s);
    return text.replace(spaces, u" "_s).trimmed();
}

// Every page's texts, in the order the page holds them.
QList<QStringList> PageTexts(const PageStore &pages)
{
    QList<QStringList> out;
    for (const ReportPage &page : pages.pages()) {
        QStringList texts;
        for (const PageText &t : page.texts)
            texts << t.text;
        out << texts;
    }
    return out;
}

QString PdfText(const QString &pdf)
{
    QProcess tool;
    tool.start(QStandardPaths::findExecutable(u"pdftotext"_s), {u"-layout"_s, pdf, u"-"_s});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return {};
    return QString::fromUtf8(tool.readAllStandardOutput());
}

} // namespace

// The account views and their reports through the client's real windows, as
// the user reaches them, against the demo server executable on 127.0.0.1.
// What the windows show is compared with the server's answers read through
// the service layer on the same session, and with each other.
class tst_E2eViews : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void anotherYearShowsTheServersFigures();
    void monthCardAndChargeDetail();
    void monthWithoutDocuments();
    void reportsFromEachView_data() { views_data(); }
    void reportsFromEachView();
    void printFromEachView_data() { views_data(); }
    void printFromEachView();

private:
    // The three views with a report: depth 0 the settlements panel, 1 the
    // month card of March, 2 the detail of its first charge.
    void views_data();
    // Walks to the view at `depth` from the main window, notes what it shows
    // of its figures and texts into `shown`, and runs `onView` there.
    bool walkToView(int depth, QStringList &shown, const std::function<void(QWidget &)> &onView);
    // The year before the current one (complete in the demo data) on screen.
    bool showLastYear();
    // The tour's window, its account and its connection's interface.
    IZOKA_E_BOK &service() const { return *m_driver->MainWindow()->Service().Service(); }
    const Account &account() const { return m_driver->MainWindow()->AccountData(); }

    QTemporaryDir m_data;
    QTemporaryDir m_out;
    ServerProcess m_server;
    std::unique_ptr<ClientDriver> m_driver;
    int m_lastYear = 0;
};

void tst_E2eViews::initTestCase()
{
    QVERIFY(m_data.isValid() && m_out.isValid());
    QString error;
    QVERIFY2(m_server.Start(m_data.path(), {}, &error), qPrintable(error));
    m_driver = std::make_unique<ClientDriver>();
    QVERIFY2(m_driver->Start(u"localhost:%1"_s.arg(m_server.port()), m_data.filePath(u"server-cert.pem"_s)),
             qPrintable(m_driver->LastError()));
    QVERIFY2(m_driver->LogIn(u"kowalski"_s, u"Kowalski1"_s), qPrintable(m_driver->LastError()));
    m_lastYear = m_driver->Settlements()->Year() - 1;
}

void tst_E2eViews::cleanupTestCase()
{
    m_driver.reset();
}

void tst_E2eViews::init()
{
    m_driver->Messages().messages.clear();
}

bool tst_E2eViews::showLastYear()
{
    return m_driver->Settlements()->Year() == m_lastYear || m_driver->ChangeYear(m_lastYear);
}

void tst_E2eViews::anotherYearShowsTheServersFigures()
{
    QVERIFY2(m_driver->ChangeYear(m_lastYear), qPrintable(m_driver->LastError()));
    const TFrame_InfoRozrZasob &panel = *m_driver->Settlements();
    QCOMPARE(LabelText(panel, u"Lab_TytulRok"_s), QString::number(m_lastYear));
    QVERIFY2(panel.CurrentTable() == panel.Table(0), "the rents' tab is active after a change of year");
    QCOMPARE(panel.CurrentTable()->SelectedMonth(), 0);

    const ServiceResult<TRemYearRozrachGetData> year = service().ZOKA_WS_YearRozrachGet(
        account().Session.LoginE, account().Session.PasswordE, account().Session.SessionToken, m_lastYear);
    QVERIFY(year.ok());
    QCOMPARE(year.value().RetCode, 0);
    const QList<double> &debits = year.value().ObrotyWOMain_WN;
    const QList<double> &credits = year.value().ObrotyWOMain_MA;
    QCOMPARE(debits.size(), 13);
    QCOMPARE(credits.size(), 13);
    const TFrame_InfoRozrTabela &water = *panel.Table(2);
    for (int m = 1; m <= 12; ++m) {
        const QString nn = u"%1"_s.arg(m, 2, 10, QChar(u'0'));
        QCOMPARE(LabelText(water, u"Lab_WN_"_s + nn), FormatAmount(debits[m]));
        QCOMPARE(LabelText(water, u"Lab_MA_"_s + nn), FormatAmount(credits[m]));
    }

    // On the shown tab, a balance reads red when it is negative and green
    // otherwise, as the legend says.
    const QColor red(0xFF, 0x00, 0x00);
    const QColor green(0x00, 0x80, 0x00);
    for (int m = 1; m <= 12; ++m) {
        for (const QString &name : {u"Lab_SaldoMca_%1"_s, u"Lab_SaldoNar_%1"_s}) {
            auto *label = panel.CurrentTable()->findChild<QLabel *>(name.arg(m, 2, 10, QChar(u'0')));
            QVERIFY(label);
            const QColor expected = label->text().startsWith(u'-') ? red : green;
            QVERIFY2(PaintsHueOf(*label, expected), qPrintable(label->objectName() + u' ' + label->text()));
        }
    }
}

void tst_E2eViews::monthCardAndChargeDetail()
{
    QVERIFY2(showLastYear(), qPrintable(m_driver->LastError()));
    const TFrame_InfoRozrTabela &table = *m_driver->CurrentTable();
    const QString yearTableDebit = LabelText(table, u"Lab_WN_03"_s);
    const QString yearTableCredit = LabelText(table, u"Lab_MA_03"_s);

    const ServiceResult<TRemKartotekaMcaGetData> ledger = service().ZOKA_WS_KartotekaMcaGet(
        account().Session.LoginE, account().Session.PasswordE, account().Session.SessionToken, 0, m_lastYear, kMonth);
    QVERIFY(ledger.ok());
    const TRemKartotekaMcaGetData &entries = ledger.value();
    QVERIFY2(entries.KsgNumber > 0, "the demo month has documents");

    // What the windows showed, checked once they are closed.
    QString period, monthDebit, monthCredit, count, cardCaption;
    QStringList amounts, texts;
    int chargeRow = -1;
    QString chargeAmount, detailText, detailTotal;
    QStringList components;
    bool detailOpened = false;
    bool cardOpenAfterDetail = false;
    const bool cardOpened = m_driver->OpenMonth(kMonth, [&](TForm_KartMca &card) {
        cardCaption = card.windowTitle();
        period = LabelText(card, u"Lab_OpisOkres"_s);
        monthDebit = LabelText(card, u"Lab_WN_ObrotyMca"_s);
        monthCredit = LabelText(card, u"Lab_MA_ObrotyMca"_s);
        count = LabelText(card, u"Lab_IloscOper"_s);
        const QTableWidget *grid = card.Frame_InfoDokTabela1()->SG_Dok();
        for (int r = 0; r < grid->rowCount(); ++r) {
            amounts << CellText(grid, r, 4) + CellText(grid, r, 5);
            texts << CellText(grid, r, 6);
        }
        chargeRow = m_driver->FirstChargeRow(card);
        if (chargeRow < 0)
            return;
        chargeAmount = CellText(grid, chargeRow, 4);
        detailOpened = m_driver->OpenCharge(card, chargeRow, [&](TForm_NalCzynszDtl &detail) {
            detailText = LabelText(detail, u"Lab_TrescOper"_s);
            detailTotal = LabelText(detail, u"Lab_Brutto_Razem"_s);
            const QTableWidget *skl = detail.Frame_InfoCzynszTabela1()->SG_Skl();
            for (int r = 0; r < skl->rowCount(); ++r)
                components << CellText(skl, r, 1) + u'|' + CellText(skl, r, 5);
            // Back to the card, as the user does.
            QTest::keyClick(&detail, Qt::Key_Escape);
        });
        cardOpenAfterDetail = card.isVisible();
    });
    QVERIFY2(cardOpened, qPrintable(m_driver->LastError()));
    QVERIFY(m_driver->Messages().messages.isEmpty());

    QCOMPARE(cardCaption, u"Kartoteka miesięczna"_s);
    QCOMPARE(period, QLocale().standaloneMonthName(kMonth) + u' ' + QString::number(m_lastYear));
    QCOMPARE(count, u"%1 oper."_s.arg(entries.KsgNumber));
    QCOMPARE(amounts.size(), entries.KsgNumber);
    for (int i = 0; i < entries.KsgNumber; ++i) {
        QCOMPARE(amounts[i], FormatAmount(entries.KsgValue[i]));
        if (!entries.KsgTrescOper[i].isEmpty())
            QCOMPARE(texts[i], entries.KsgTrescOper[i]);
    }
    // The year's figures and the month's ledger come from two operations; they agree.
    QCOMPARE(monthDebit, yearTableDebit);
    QCOMPARE(monthCredit, yearTableCredit);

    QVERIFY2(chargeRow >= 0, "the demo month has a charge");
    QVERIFY2(detailOpened, qPrintable(m_driver->LastError()));
    QVERIFY2(cardOpenAfterDetail, "Escape in the detail goes back to the month card");
    const ServiceResult<TRemDokDetailsGetData> details = service().ZOKA_WS_DokDetailsGet(
        account().Session.LoginE, account().Session.PasswordE, account().Session.SessionToken,
        entries.KsgID_Dok_Master[chargeRow], 0, m_lastYear);
    QVERIFY(details.ok());
    const TRemDokDetailsGetData &charge = details.value();
    QCOMPARE(detailText, charge.TrescOper);
    QCOMPARE(components.size(), charge.SklNumber);
    for (int i = 0; i < charge.SklNumber; ++i)
        QCOMPARE(components[i], charge.NazwaSkl[i] + u'|' + FormatAmount(charge.ValueNetto[i] + charge.ValueVAT[i]));
    // The charge's components add up to the amount booked on the card.
    QCOMPARE(detailTotal, chargeAmount);

    // Back in the main window, the month stays highlighted, on screen too.
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(m_driver->CurrentTable()->SelectedMonth(), kMonth);
    auto *row = m_driver->CurrentTable()->findChild<QWidget *>(u"Panel_03"_s);
    QVERIFY(row);
    const QImage picture = row->grab().toImage();
    QCOMPARE(picture.pixelColor(1, 1), row->palette().color(QPalette::Active, QPalette::Highlight));
}

void tst_E2eViews::monthWithoutDocuments()
{
    QVERIFY2(showLastYear(), qPrintable(m_driver->LastError()));
    const ServiceResult<TRemKartotekaMcaGetData> ledger
        = service().ZOKA_WS_KartotekaMcaGet(account().Session.LoginE, account().Session.PasswordE,
                                            account().Session.SessionToken, 0, m_lastYear, kEmptyMonth);
    QVERIFY(ledger.ok());
    QVERIFY2(ledger.value().KsgNumber == 0, "the demo tenant's August of last year has no documents");

    bool cardShown = false;
    QVERIFY(!m_driver->OpenMonth(kEmptyMonth, [&](TForm_KartMca &) { cardShown = true; }));
    QVERIFY(!cardShown);
    QCOMPARE(m_driver->Messages().texts(), QStringList{u"Brak dokumentów w miesiącu."_s});
    QCOMPARE(m_driver->Messages().messages.first().caption, u"Domvel-E-Vadiv"_s);
}

void tst_E2eViews::views_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<QString>("name");
    QTest::newRow("settlements panel") << 0 << u"rozrachunki"_s;
    QTest::newRow("month card") << 1 << u"kartoteka"_s;
    QTest::newRow("charge detail") << 2 << u"naliczenie"_s;
}

bool tst_E2eViews::walkToView(int depth, QStringList &shown, const std::function<void(QWidget &)> &onView)
{
    if (!showLastYear())
        return false;
    if (depth == 0) {
        TFrame_InfoRozrZasob &panel = *m_driver->Settlements();
        const TFrame_InfoRozrTabela &table = *panel.CurrentTable();
        shown << QString::number(m_lastYear) << LabelText(table, u"Lab_WN_03"_s) << LabelText(table, u"Lab_MA_03"_s)
              << LabelText(table, u"Lab_SaldoNar_Razem"_s);
        onView(panel);
        return true;
    }
    bool reached = false;
    const bool opened = m_driver->OpenMonth(kMonth, [&](TForm_KartMca &card) {
        if (depth == 1) {
            const QTableWidget *grid = card.Frame_InfoDokTabela1()->SG_Dok();
            shown << LabelText(card, u"Lab_OpisOkres"_s) << LabelText(card, u"Lab_WN_ObrotyMca"_s)
                  << CellText(grid, 0, 6) << CellText(grid, 0, 4) + CellText(grid, 0, 5);
            onView(card);
            reached = true;
            return;
        }
        reached = m_driver->OpenCharge(card, m_driver->FirstChargeRow(card), [&](TForm_NalCzynszDtl &detail) {
            const QTableWidget *skl = detail.Frame_InfoCzynszTabela1()->SG_Skl();
            shown << LabelText(detail, u"Lab_TrescOper"_s) << LabelText(detail, u"Lab_Brutto_Razem"_s)
                  << CellText(skl, 0, 1) << CellText(skl, 0, 5);
            onView(detail);
        });
    });
    return opened && reached;
}

void tst_E2eViews::reportsFromEachView()
{
    QFETCH(int, depth);
    QFETCH(QString, name);
    QVERIFY2(!QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty(), "pdftotext (poppler-utils) reads the PDF");
    const QString pdf = m_out.filePath(name + u".pdf"_s);
    const QString prn = m_out.filePath(name + u".prn"_s);

    // On the view: preview, save as PDF and as a print file, and load the
    // print file back.
    QStringList shown;
    QList<QStringList> generated, loaded;
    bool walked = false;
    const bool reached = walkToView(depth, shown, [&](QWidget &view) {
        if (!m_driver->PressPreview(view))
            return;
        generated = PageTexts(*m_driver->Preview()->ShownPages());
        if (m_driver->SaveFromPreview(pdf) && m_driver->SaveFromPreview(prn) && m_driver->LoadIntoPreview(prn)) {
            loaded = PageTexts(*m_driver->Preview()->ShownPages());
            walked = true;
        }
        m_driver->ClosePreview();
    });
    QVERIFY2(reached && walked, qPrintable(m_driver->LastError()));
    QVERIFY(!m_driver->Preview()->isVisible());
    QVERIFY(m_driver->Messages().messages.isEmpty());

    QVERIFY(!generated.isEmpty());
    QCOMPARE(loaded.size(), generated.size());
    QCOMPARE(loaded, generated);

    const QString text = Normalized(PdfText(pdf));
    QVERIFY2(!text.isEmpty(), "pdftotext reads the exported PDF");
    for (const QString &figure : std::as_const(shown)) {
        QVERIFY(!figure.isEmpty());
        QVERIFY2(text.contains(Normalized(figure)), qPrintable(u"«%1» is missing from the PDF"_s.arg(figure)));
    }
}

void tst_E2eViews::printFromEachView()
{
    QFETCH(int, depth);
    QFETCH(QString, name);
    QVERIFY2(!QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty(), "pdftotext (poppler-utils) reads the PDF");
    // The selected printer prints into a PDF file.
    const QString printed = m_out.filePath(name + u"-printed.pdf"_s);
    TPrn_Gen::SetPrinterLookup([printed] {
        ReportPrinterSettings printer;
        printer.outputFileName = printed;
        return std::optional<ReportPrinterSettings>(printer);
    });
    const auto restore = qScopeGuard([] { TPrn_Gen::SetPrinterLookup(nullptr); });

    QStringList shown;
    bool pressed = false;
    const bool reached = walkToView(depth, shown, [&](QWidget &view) { pressed = m_driver->PressPrint(view); });
    QVERIFY2(reached && pressed, qPrintable(m_driver->LastError()));
    QVERIFY(!m_driver->Preview()->isVisible());

    const QString text = Normalized(PdfText(printed));
    QVERIFY2(!text.isEmpty(), "pdftotext reads the printed PDF");
    for (const QString &figure : std::as_const(shown))
        QVERIFY2(text.contains(Normalized(figure)), qPrintable(u"«%1» is missing from the print"_s.arg(figure)));
    // A print, unlike an export, carries the last page's footer.
    QVERIFY(text.contains(u"Strona ostatnia"_s));
    QVERIFY(text.contains(u"Wyemitowano z programu: Domvel-E-Vadiv"_s));
}

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    tst_E2eViews test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_e2e_views.moc"
