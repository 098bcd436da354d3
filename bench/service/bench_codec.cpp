// Figures for the SOAP codec and the HTTPS connection: decoding speed of a
// large month-ledger answer and of a session-begin answer, and the client-side
// time of whole calls over loopback HTTPS. "--quick" runs fewer rounds (CTest).

#include "TestHttpsServer.h"

#include "service/SoapCodec.h"
#include "service/THTTPRIO.h"
#include "service/TrustedCertificates.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

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
    for (TDoubleDynArray *array : {&r.ObrotyCZMain_WN, &r.ObrotyCZMain_MA, &r.ObrotyCZOds_WN, &r.ObrotyCZOds_MA,
                                   &r.ObrotyWOMain_WN, &r.ObrotyWOMain_MA, &r.ObrotyWOOds_WN, &r.ObrotyWOOds_MA,
                                   &r.ObrotyOdpady_WN, &r.ObrotyOdpady_MA}) {
        for (int i = 0; i < 13; ++i)
            array->append(350.2 + i);
    }
    return r;
}

template<typename Record>
void benchDecode(const char *label, const char *operation, const Record &record, SoapWriter::RecordForm form,
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
    std::printf("%-44s %8.2f KiB  %8.2f ms  %8.1f MB/s", label, message.size() / 1024.0, seconds * 1e3,
                message.size() / seconds / 1e6);
    if (entries > 0)
        std::printf("  %10.0f entries/s", entries / seconds);
    std::printf("\n");
}

void benchCalls(int rounds)
{
    const QString tls = QStringLiteral(DOMVEL_FIXTURES "/tls/");
    TrustedCertificates::AddFromFile(tls + QStringLiteral("ca.pem"));
    TestHttpsServer server(tls + QStringLiteral("server.pem"), tls + QStringLiteral("server.key"));
    if (!server.start())
        qFatal("cannot listen");
    const QByteArray small = SoapCodec::WriteAnswer("ZOKA_WS_InitialCheck", TRemInitialCheck{100, QStringLiteral("OK")}).value();
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
    std::printf("%-44s %8.2f ms\n", "reading the system trust store (once)", clock.nsecsElapsed() / 1e6);

    clock.restart();
    if (!service->ZOKA_WS_InitialCheck(QStringLiteral("1.3.0.0")).ok())
        qFatal("first call failed");
    std::printf("%-44s %8.2f ms\n", "first call (TCP + TLS handshake)", clock.nsecsElapsed() / 1e6);

    clock.restart();
    for (int i = 0; i < rounds; ++i) {
        if (!service->ZOKA_WS_InitialCheck(QStringLiteral("1.3.0.0")).ok())
            qFatal("kept-alive call failed");
    }
    std::printf("%-44s %8.2f ms\n", "kept-alive call, small answer", clock.nsecsElapsed() / 1e6 / rounds);

    clock.restart();
    const int ledgerRounds = qMax(1, rounds / 10);
    for (int i = 0; i < ledgerRounds; ++i) {
        if (!service->ZOKA_WS_KartotekaMcaGet(QStringLiteral("l"), QStringLiteral("p"), QStringLiteral("t"), 2, 2020, 3).ok())
            qFatal("ledger call failed");
    }
    std::printf("%-44s %8.2f ms  (%.2f MiB answer)\n", "kept-alive call, ledger of 10,000 entries",
                clock.nsecsElapsed() / 1e6 / ledgerRounds, large.size() / 1048576.0);
    std::printf("connections %d, TLS handshakes %d, requests %lld\n", server.connections(), server.handshakes(),
                qlonglong(server.requests().size()));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    const int rounds = quick ? 3 : 30;
    std::printf("SOAP answer decoding (%d rounds each)\n", rounds);
    benchDecode("month ledger, 10,000 entries, inline", "ZOKA_WS_KartotekaMcaGet", ledger(10'000),
                SoapWriter::RecordForm::Inline, rounds, 10'000);
    benchDecode("month ledger, 10,000 entries, multi-reference", "ZOKA_WS_KartotekaMcaGet", ledger(10'000),
                SoapWriter::RecordForm::MultiReference, rounds, 10'000);
    benchDecode("session begin", "ZOKA_WS_CzSessionBegin", sessionBegin(), SoapWriter::RecordForm::Inline,
                rounds * 100, 0);
    std::printf("\nWhole calls over loopback HTTPS\n");
    benchCalls(quick ? 10 : 100);
    return 0;
}
