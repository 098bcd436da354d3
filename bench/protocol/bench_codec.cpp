// Figures for the SOAP codec and the HTTPS connection: decoding speed of a
// large month-ledger answer and of a session-begin answer, and the client-side
// time of whole calls over loopback HTTPS, and how the cost per ledger entry
// of decoding and of loading the store grows with the ledger's length.
// "--quick" runs fewer rounds and smaller ledgers (CTest). Ends with 1 when a
// kept-alive call made a new TLS handshake or the cost per entry grows more
// than threefold.

#include "ExpatFloor.h"
#include "ToolkitAnswer.h"
#include "testing/TestHttpsServer.h"

#include "bench/common/BenchFigure.h"

#include "account/TU_WEBServiceKsgData.h"
#include "protocol/SoapCodec.h"
#include "protocol/THTTPRIO.h"
#include "protocol/TrustedCertificates.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

TRemKartotekaMcaGetData ledger(int entries)
{
    TRemKartotekaMcaGetData r;
    r.RetCodeAsString = QStringLiteral("OK");
    r.KontoKsg = 2;
    r.Year = 2020;
    r.Month = 3;
    r.KsgNumber = entries;
    for (int i = 0; i < entries; ++i) {
        r.KsgStrona.append(i % 2);
        r.KsgTypDok.append(1 + i % 5);
        r.KsgID_Dok_Master.append(100000 + i);
        r.KsgDataOperacji.append(43891 + i % 31);
        r.KsgDataOperRozrach.append(43891.5 + i % 31);
        r.KsgValue.append((i % 2 ? -1 : 1) * (12.34 + i * 0.01));
        r.KsgTrescOper.append(QStringLiteral("Naliczenie opłat za wodę, poz. %1").arg(i));
        r.KsgNrDokMaster.append(QStringLiteral("N/%1/2020").arg(i));
    }
    return r;
}

TRemSessionBeginData sessionBegin()
{
    TRemSessionBeginData r;
    r.SessionToken = QStringLiteral("ABC123xyz#45123.5");
    r.F_Nazwa = QStringLiteral("Spółdzielnia Mieszkaniowa „Zielony Gród”");
    r.U_Imie1 = QStringLiteral("Józef");
    r.U_Nazwisko1 = QStringLiteral("Kowalczyk");
    for (TDoubleDynArray *array :
         {&r.ObrotyCZMain_WN, &r.ObrotyCZMain_MA, &r.ObrotyCZOds_WN, &r.ObrotyCZOds_MA, &r.ObrotyWOMain_WN,
          &r.ObrotyWOMain_MA, &r.ObrotyWOOds_WN, &r.ObrotyWOOds_MA, &r.ObrotyOdpady_WN, &r.ObrotyOdpady_MA}) {
        for (int i = 0; i < 13; ++i)
            array->append(350.2 + i);
    }
    return r;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Peak resident memory of the process so far (VmHWM), MiB.
double peakResidentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024.0;
    }
    return 0;
}

struct FloorFigures
{
    double decodeMs = 0;
    double floorMs = 0;
    double megabytesPerSecond = 0;
    double ratio() const { return decodeMs / floorMs; }
};

// The full decode of a ledger answer against expat's raw tokenization of the
// same bytes, rounds interleaved, medians.
FloorFigures benchAgainstFloor(const char *label, const QByteArray &message, int entries, int rounds,
                               qsizetype maxSize = SoapCodec::kDefaultMaxMessageSize)
{
    std::vector<double> decode, floor;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer clock;
        clock.start();
        if (ExpatTokenize(message) < 0)
            qFatal("not well-formed: %s", label);
        floor.push_back(clock.nsecsElapsed() / 1e6);
        clock.restart();
        const auto answer = SoapCodec::ReadAnswer<TRemKartotekaMcaGetData>("ZOKA_WS_KartotekaMcaGet", message, maxSize);
        decode.push_back(clock.nsecsElapsed() / 1e6);
        if (!answer.ok() || answer.value().KsgValue.size() != entries)
            qFatal("decode failed: %s", answer.ok() ? "wrong length" : qPrintable(answer.failure().detail));
    }
    FloorFigures figures{median(decode), median(floor), 0};
    figures.megabytesPerSecond = message.size() / figures.decodeMs / 1e3;
    PrintLine("%-46s %7.2f MB  decode %7.2f ms (%6.1f MB/s)  expat tokens %7.2f ms  ratio %.2f\n", label,
              message.size() / 1e6, figures.decodeMs, figures.megabytesPerSecond, figures.floorMs, figures.ratio());
    return figures;
}

// Seconds per decoding of the record's answer.
template<typename Record>
double benchDecode(const char *label, const char *operation, const Record &record, SoapWriter::RecordForm form,
                   int rounds, int entries)
{
    const QByteArray message = SoapCodec::WriteAnswer(operation, record, form).value();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < rounds; ++i) {
        const auto answer = SoapCodec::ReadAnswer<Record>(operation, message);
        if (!answer.ok())
            qFatal("decode failed: %s", qPrintable(answer.failure().detail));
    }
    const double seconds = clock.nsecsElapsed() / 1e9 / rounds;
    PrintLine("%-44s %8.2f KiB  %8.2f ms  %8.1f MB/s", label, message.size() / 1024.0, seconds * 1e3,
              message.size() / seconds / 1e6);
    if (entries > 0)
        PrintLine("  %10.0f entries/s", entries / seconds);
    PrintLine("\n");
    return seconds;
}

// Microseconds per entry of decoding a ledger answer and loading the month
// ledger store from it, at growing lengths; false when the largest costs more
// than three times the smallest per entry.
bool benchScaling(const std::vector<int> &sizes)
{
    PrintLine("\nCost per ledger entry by ledger length (decode + store load)\n");
    std::vector<double> perEntry;
    for (int entries : sizes) {
        const QByteArray message = SoapCodec::WriteAnswer("ZOKA_WS_KartotekaMcaGet", ledger(entries)).value();
        const int rounds = std::max(1, 200'000 / entries);
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < rounds; ++i) {
            const auto answer = SoapCodec::ReadAnswer<TRemKartotekaMcaGetData>("ZOKA_WS_KartotekaMcaGet", message);
            if (!answer.ok())
                qFatal("decode failed: %s", qPrintable(answer.failure().detail));
            TU_WEBServiceKsgData store;
            store.LoadFrom(answer.value());
            if (store.KsgNumber != entries)
                qFatal("store not loaded");
        }
        perEntry.push_back(clock.nsecsElapsed() / 1e3 / rounds / entries);
        PrintLine("  %7d entries  %8.2f MiB  %7.3f us/entry\n", entries, message.size() / 1048576.0, perEntry.back());
    }
    return PrintScaling("Month ledger decode + store load, cost per entry", " entries", sizes, perEntry, 2);
}

// True when the kept-alive calls made no TLS handshake of their own.
bool benchCalls(int rounds)
{
    const QString tls = QStringLiteral(DOMVEL_FIXTURES "/tls/");
    TrustedCertificates::AddFromFile(tls + QStringLiteral("ca.pem"));
    TestHttpsServer server(tls + QStringLiteral("server.pem"), tls + QStringLiteral("server.key"));
    if (!server.start())
        qFatal("cannot listen");
    const QByteArray small
        = SoapCodec::WriteAnswer("ZOKA_WS_InitialCheck", TRemInitialCheck{100, QStringLiteral("OK")}).value();
    const QByteArray large = SoapCodec::WriteAnswer("ZOKA_WS_KartotekaMcaGet", ledger(10'000)).value();
    server.setHandler([&](const TestHttpsServer::Request &request) {
        const bool wantsLedger = request.headers.value("soapaction").contains("KartotekaMcaGet");
        return TestHttpsServer::Reply{200, wantsLedger ? large : small};
    });
    THTTPRIO rio;
    rio.SetURL(server.serviceUrl());
    IZOKA_E_BOK *service = rio.GetIZOKA_E_BOK();

    QElapsedTimer clock;
    clock.start();
    // With an added CA the system store is read once, on the first call.
    TrustedCertificates::Configuration();
    PrintLine("%-44s %8.2f ms\n", "reading the system trust store (once)", clock.nsecsElapsed() / 1e6);

    clock.restart();
    if (!service->ZOKA_WS_InitialCheck(QStringLiteral("1.3.0.0")).ok())
        qFatal("first call failed");
    const double firstMs = clock.nsecsElapsed() / 1e6;
    PrintLine("%-44s %8.2f ms\n", "first call (TCP + TLS handshake)", firstMs);

    clock.restart();
    for (int i = 0; i < rounds; ++i) {
        if (!service->ZOKA_WS_InitialCheck(QStringLiteral("1.3.0.0")).ok())
            qFatal("kept-alive call failed");
    }
    const double keptAliveMs = clock.nsecsElapsed() / 1e6 / rounds;
    PrintLine("%-44s %8.2f ms\n", "kept-alive call, small answer", keptAliveMs);

    clock.restart();
    const int ledgerRounds = qMax(1, rounds / 10);
    for (int i = 0; i < ledgerRounds; ++i) {
        if (!service->ZOKA_WS_KartotekaMcaGet(QStringLiteral("l"), QStringLiteral("p"), QStringLiteral("t"), 2, 2020, 3)
                 .ok())
            qFatal("ledger call failed");
    }
    const double ledgerMs = clock.nsecsElapsed() / 1e6 / ledgerRounds;
    PrintLine("%-44s %8.2f ms  (%.2f MiB answer)\n", "kept-alive call, ledger of 10,000 entries", ledgerMs,
              large.size() / 1048576.0);
    PrintLine("connections %d, TLS handshakes %d (client counted %d), requests %lld\n", server.connections(),
              server.handshakes(), rio.TlsHandshakes(), qlonglong(server.requests().size()));
    PrintFigure("One call over loopback HTTPS: first (TCP + TLS handshake) / kept-alive",
                "%.1f ms / %.2f ms (%d calls, %d TLS handshake)", firstMs, keptAliveMs, int(server.requests().size()),
                server.handshakes());
    PrintFigure("Kept-alive call answering a 10,000-entry ledger (whole call, decode included)", "%.0f ms (%.1f MiB)",
                ledgerMs, large.size() / 1048576.0);
    return server.handshakes() == 1 && server.connections() == 1 && rio.TlsHandshakes() == 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    const int rounds = quick ? 3 : 30;
    PrintLine("SOAP answer decoding (%d rounds each)\n", rounds);
    const TRemKartotekaMcaGetData tenThousand = ledger(10'000);
    const double inlineSeconds = benchDecode("month ledger, 10,000 entries, inline", "ZOKA_WS_KartotekaMcaGet",
                                             tenThousand, SoapWriter::RecordForm::Inline, rounds, 10'000);
    const double multiRefSeconds
        = benchDecode("month ledger, 10,000 entries, multi-reference", "ZOKA_WS_KartotekaMcaGet", tenThousand,
                      SoapWriter::RecordForm::MultiReference, rounds, 10'000);
    const double sessionSeconds = benchDecode("session begin", "ZOKA_WS_CzSessionBegin", sessionBegin(),
                                              SoapWriter::RecordForm::Inline, rounds * 100, 0);
    const qsizetype ledgerBytes = SoapCodec::WriteAnswer("ZOKA_WS_KartotekaMcaGet", tenThousand).value().size();
    PrintFigure("Decoding a 10,000-entry month ledger answer: inline / multi-reference",
                "%.0f ms (%.0f MB/s, %.0fk entries/s) / %.0f ms", inlineSeconds * 1e3,
                ledgerBytes / inlineSeconds / 1e6, 10.0 / inlineSeconds, multiRefSeconds * 1e3);
    PrintFigure("Decoding a session-begin answer", "%.2f ms", sessionSeconds * 1e3);

    // The reader against its floor, on the same bytes: a toolkit's form of the
    // answer (inline and multi-reference, scrambled) and our own writer's.
    PrintLine("\nFull decode against expat's raw tokenization (medians of %d rounds)\n", rounds);
    const QByteArray toolkitInline = ToolkitLedgerAnswer(tenThousand, false);
    const QByteArray toolkitMultiRef = ToolkitLedgerAnswer(tenThousand, true);
    const QByteArray ownForm = SoapCodec::WriteAnswer("ZOKA_WS_KartotekaMcaGet", tenThousand).value();
    const FloorFigures tkInline = benchAgainstFloor("toolkit form, inline", toolkitInline, 10'000, rounds);
    const FloorFigures tkMultiRef = benchAgainstFloor("toolkit form, multi-reference", toolkitMultiRef, 10'000, rounds);
    const FloorFigures own = benchAgainstFloor("demo server's answer (our writer), inline", ownForm, 10'000, rounds);
    PrintFigure("10,000-entry ledger in a toolkit's form, inline: full decode / expat tokens only (ratio)",
                "%.1f ms (%.0f MB/s) / %.1f ms (%.2f)", tkInline.decodeMs, tkInline.megabytesPerSecond,
                tkInline.floorMs, tkInline.ratio());
    PrintFigure("The same, multi-reference (record and arrays in scrambled order)",
                "%.1f ms (%.0f MB/s) / %.1f ms (%.2f)", tkMultiRef.decodeMs, tkMultiRef.megabytesPerSecond,
                tkMultiRef.floorMs, tkMultiRef.ratio());
    PrintFigure("The demo server's 10,000-entry answer: full decode / expat tokens only (ratio)",
                "%.1f ms (%.0f MB/s) / %.1f ms (%.2f)", own.decodeMs, own.megabytesPerSecond, own.floorMs, own.ratio());

    // The largest ledger: 100,000 entries in the toolkit's form.
    {
        const int largest = quick ? 20'000 : 100'000;
        const double before = peakResidentMiB();
        const QByteArray big = ToolkitLedgerAnswer(ledger(largest), true);
        const FloorFigures figures
            = benchAgainstFloor("toolkit form, multi-reference, largest", big, largest, quick ? 1 : 5);
        PrintFigure("Largest ledger decoded, toolkit form, multi-reference: entries, size, decode, peak RSS",
                    "%d, %.1f MB, %.0f ms, %.0f MiB (%.0f MiB before)", largest, big.size() / 1e6, figures.decodeMs,
                    peakResidentMiB(), before);
    }

    PrintLine("\nWhole calls over loopback HTTPS\n");
    const bool reused = benchCalls(quick ? 10 : 100);
    if (!reused)
        std::fprintf(stderr, "a kept-alive call made a new connection or TLS handshake\n");
    const bool linear
        = benchScaling(quick ? std::vector<int>{500, 2'000, 8'000} : std::vector<int>{1'000, 10'000, 100'000});
    if (!linear)
        std::fprintf(stderr, "the cost per ledger entry grows with the ledger's length\n");
    return reused && linear ? 0 : 1;
}
