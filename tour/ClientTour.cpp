#include "tour/ClientTour.h"

#include "account/DisplayTexts.h"
#include "app/TForm_ZOKA_WSClient_Main.h"
#include "engine/PageStore.h"
#include "reports/TPrn_Preview.h"
#include "tour/ClientDriver.h"
#include "views/SessionStrip.h"
#include "views/TForm_KartMca.h"
#include "views/TForm_NalCzynszDtl.h"
#include "views/TForm_YearChart.h"
#include "views/TFrame_InfoRozrZasob.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Every demo year has documents in March.
constexpr int kTourMonth = 3;

} // namespace

ClientTour::ClientTour(ClientDriver &driver, Options options, std::FILE *out)
    : m_driver(driver), m_options(std::move(options)), m_out(out)
{
}

bool ClientTour::Step(const QString &title, const std::function<bool()> &action)
{
    if (m_failed)
        return false;
    ++m_steps;
    m_reason.clear();
    std::fprintf(m_out, "[%d] %s\n", m_steps, qPrintable(title));
    std::fflush(m_out);
    if (!action()) {
        if (!m_failed)
            std::fprintf(m_out, "    BŁĄD: %s\n", qPrintable(m_reason.isEmpty() ? m_driver.LastError() : m_reason));
        m_failed = true;
        std::fflush(m_out);
        return false;
    }
    return true;
}

QString ClientTour::OutputFile(const QString &name) const
{
    return m_options.output.filePath(name);
}

bool ClientTour::Screenshot(QWidget &window, const QString &name)
{
    return Step(u"Zrzut ekranu: "_s + name, [&] { return m_driver.Screenshot(window, OutputFile(name)); });
}

bool ClientTour::Reports(QWidget &view, const QString &baseName, bool loadBack)
{
    int pages = 0;
    const QString printFile = OutputFile(baseName + u".prn"_s);
    const auto loadPrintFile = [&] {
        if (!m_driver.LoadIntoPreview(printFile))
            return false;
        const int loaded = m_driver.Preview()->ShownPages()->pageCount();
        if (loaded != pages)
            m_reason = u"wczytany plik ma %1 stron zamiast %2"_s.arg(loaded).arg(pages);
        return loaded == pages;
    };
    bool done = Step(u"Podgląd wydruku"_s, [&] {
        if (!m_driver.PressPreview(view))
            return false;
        pages = m_driver.Preview()->ShownPages()->pageCount();
        return true;
    });
    done = done && Screenshot(*m_driver.Preview(), baseName + u"-podglad.png"_s);
    done = done && Step(u"Eksport do PDF: "_s + baseName + u".pdf"_s, [&] {
               return m_driver.SaveFromPreview(OutputFile(baseName + u".pdf"_s));
           });
    done = done && Step(u"Eksport do CSV z podglądu: "_s + baseName + u"-podglad.csv"_s, [&] {
               return m_driver.SaveFromPreview(OutputFile(baseName + u"-podglad.csv"_s));
           });
    done = done
        && Step(u"Zapis pliku wydruku: "_s + baseName + u".prn"_s, [&] { return m_driver.SaveFromPreview(printFile); });
    if (loadBack) {
        done = done && Step(u"Wczytanie pliku wydruku do podglądu: "_s + baseName + u".prn"_s, loadPrintFile);
        done = done && Screenshot(*m_driver.Preview(), baseName + u"-wczytany.png"_s);
    }
    const bool closed = m_driver.ClosePreview();
    return done && closed;
}

bool ClientTour::Run()
{
    m_failed = false;
    m_steps = 0;
    if (!Step(u"Połączenie z serwerem "_s + m_options.serverAddress,
              [&] { return m_driver.Start(m_options.serverAddress, m_options.caCertificate); })
        || !Step(u"Logowanie: "_s + m_options.login,
                 [&] { return m_driver.LogIn(m_options.login, m_options.password); })
        || !Screenshot(*m_driver.MainWindow(), u"01-okno-glowne.png"_s))
        return false;

    // The account at a glance, the session's time left and, a minute before
    // the end, the notice that offers renewal (the session's clock moved ahead).
    if (!Screenshot(*m_driver.MainWindow(), u"01-stan-konta.png"_s)
        || !Step(
            u"Uwaga o końcu sesji"_s,
            [&] { return m_driver.AdvanceSessionClock(14 * 60 + 20) && m_driver.MainWindow()->Notice()->isVisible(); })
        || !Screenshot(*m_driver.MainWindow(), u"01-uwaga-sesja.png"_s)
        || !Step(u"Powrót zegara sesji"_s, [&] { return m_driver.AdvanceSessionClock(0); }))
        return false;

    // The year before the shown one is complete in the demo data.
    const int year = m_driver.Settlements()->Year() - 1;
    if (!Step(u"Zmiana roku na %1"_s.arg(year), [&] { return m_driver.ChangeYear(year); })
        || !Screenshot(*m_driver.MainWindow(), u"02-rok-%1.png"_s.arg(year))
        || !Reports(*m_driver.Settlements(), u"rozrachunki-%1"_s.arg(year), false)
        || !Step(
            u"Eksport do CSV: rozrachunki-%1.csv"_s.arg(year),
            [&] { return m_driver.ExportCsv(*m_driver.Settlements(), OutputFile(u"rozrachunki-%1.csv"_s.arg(year))); })
        || !Step(u"Wykres roku %1"_s.arg(year), [&] {
               return m_driver.OpenChart([&](TForm_YearChart &chart) {
                   if (Screenshot(chart, u"02-wykres-%1.png"_s.arg(year)))
                       Reports(chart, u"wykres-%1"_s.arg(year), false);
               });
           }))
        return false;

    Step(u"Kartoteka miesiąca: "_s + MonthYearText(year, kTourMonth), [&] {
        return m_driver.OpenMonth(kTourMonth, [&](TForm_KartMca &card) {
            if (!Screenshot(card, u"03-kartoteka-miesiaca.png"_s) || !Reports(card, u"kartoteka-miesiaca"_s, false)
                || !Step(u"Eksport do CSV: kartoteka-miesiaca.csv"_s,
                         [&] { return m_driver.ExportCsv(card, OutputFile(u"kartoteka-miesiaca.csv"_s)); }))
                return;
            const int row = m_driver.FirstChargeRow(card);
            Step(u"Szczegóły obciążenia z wiersza %1"_s.arg(row + 1), [&] {
                return m_driver.OpenCharge(card, row, [&](TForm_NalCzynszDtl &detail) {
                    if (Screenshot(detail, u"04-szczegoly-obciazenia.png"_s)
                        && Step(u"Eksport do CSV: szczegoly-obciazenia.csv"_s,
                                [&] { return m_driver.ExportCsv(detail, OutputFile(u"szczegoly-obciazenia.csv"_s)); }))
                        Reports(detail, u"szczegoly-obciazenia"_s, true);
                });
            });
        });
    });
    if (!m_failed)
        std::fprintf(m_out, "Pokaz zakończony bez błędów (kroków: %d).\n", m_steps);
    std::fflush(m_out);
    return !m_failed;
}
