// The demo server's HTTP request reader: how a connection's bytes become
// requests, and which framing it refuses.

#include "server/HttpRequestReader.h"

#include <QTest>

namespace {

using Result = HttpRequestReader::Result;

struct Outcome
{
    QList<QByteArray> bodies; // of the complete requests, in order
    int refusal = 0;
    bool partial = false;
};

HttpRequestReader::Limits smallLimits()
{
    return {1000, 2048, 10};
}

// Feeds the bytes in pieces of `piece` bytes (all at once for 0), taking the
// requests out as they complete.
Outcome readAll(const QByteArray &bytes, qsizetype piece)
{
    HttpRequestReader reader(smallLimits());
    Outcome outcome;
    const qsizetype step = piece > 0 ? piece : std::max<qsizetype>(1, bytes.size());
    for (qsizetype at = 0; at < bytes.size() && outcome.refusal == 0; at += step) {
        reader.Append(bytes.mid(at, step));
        for (;;) {
            HttpRequestReader::Request request;
            const Result result = reader.Next(request);
            if (result == Result::Complete) {
                outcome.bodies.append(request.body);
                continue;
            }
            if (result == Result::Refused)
                outcome.refusal = reader.RefusalStatus();
            break;
        }
    }
    outcome.partial = reader.HasPartialRequest();
    return outcome;
}

QByteArray post(const QByteArray &fields, const QByteArray &body = {})
{
    return "POST /soap HTTP/1.1\r\nHost: x\r\n" + fields + "\r\n" + body;
}

} // namespace

class tst_ServerHttp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void framing_data();
    void framing();
    void keepAlive_data();
    void keepAlive();
    void roomIsBounded();
};

void tst_ServerHttp::framing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<QByteArray>>("bodies");
    QTest::addColumn<int>("refusal");
    QTest::addColumn<bool>("partial");

    const QByteArray one = post("Content-Length: 3\r\n", "abc");
    QTest::newRow("one request") << one << QList<QByteArray>{"abc"} << 0 << false;
    QTest::newRow("pipelined, blank lines between") << one + "\r\n" + post("Content-Length: 2\r\n", "de") + "\r\n"
                                                    << QList<QByteArray>{"abc", "de"} << 0 << false;
    QTest::newRow("no body") << QByteArray("GET /soap HTTP/1.1\r\n\r\n") << QList<QByteArray>{""} << 0 << false;
    QTest::newRow("bare line feeds") << QByteArray("POST /soap HTTP/1.1\nContent-Length: 1\n\nx")
                                     << QList<QByteArray>{"x"} << 0 << false;
    QTest::newRow("chunked") << post("Transfer-Encoding: chunked\r\n",
                                     "3;ext=1\r\nabc\r\n2\r\nde\r\n0\r\nX-T: 1\r\n\r\n")
                             << QList<QByteArray>{"abcde"} << 0 << false;
    QTest::newRow("body still coming") << post("Content-Length: 5\r\n", "ab") << QList<QByteArray>{} << 0 << true;
    QTest::newRow("head still coming") << QByteArray("POST /soap HT") << QList<QByteArray>{} << 0 << true;

    // Framing that two parsers could read differently.
    QTest::newRow("length and chunked") << post("Content-Length: 3\r\nTransfer-Encoding: chunked\r\n", "abc")
                                        << QList<QByteArray>{} << 400 << false;
    QTest::newRow("two equal lengths") << post("Content-Length: 3\r\nContent-Length: 3\r\n", "abc")
                                       << QList<QByteArray>{} << 400 << false;
    QTest::newRow("two lengths") << post("Content-Length: 3\r\nContent-Length: 30\r\n", "abc") << QList<QByteArray>{}
                                 << 400 << false;
    QTest::newRow("length with a sign") << post("Content-Length: +3\r\n", "abc") << QList<QByteArray>{} << 400 << false;
    QTest::newRow("length in hex") << post("Content-Length: 0x3\r\n", "abc") << QList<QByteArray>{} << 400 << false;
    QTest::newRow("empty length") << post("Content-Length:\r\n") << QList<QByteArray>{} << 400 << false;
    QTest::newRow("a line without a colon")
        << post("Content-Length 3\r\n", "abc") << QList<QByteArray>{} << 400 << false;
    QTest::newRow("space before the colon")
        << post("Content-Length : 3\r\n", "abc") << QList<QByteArray>{} << 400 << false;
    QTest::newRow("folded line") << post("X-A: 1\r\n continued\r\nContent-Length: 3\r\n", "abc") << QList<QByteArray>{}
                                 << 400 << false;
    QTest::newRow("bad chunk size") << post("Transfer-Encoding: chunked\r\n", "zz\r\nabc\r\n0\r\n\r\n")
                                    << QList<QByteArray>{} << 400 << false;
    QTest::newRow("chunked in HTTP/1.0") << QByteArray(
        "POST /soap HTTP/1.0\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n")
                                         << QList<QByteArray>{} << 400 << false;
    QTest::newRow("request line of two words")
        << QByteArray("POST /soap\r\n\r\n") << QList<QByteArray>{} << 400 << false;
    QTest::newRow("other coding") << post("Transfer-Encoding: gzip, chunked\r\n", "0\r\n\r\n") << QList<QByteArray>{}
                                  << 501 << false;
    QTest::newRow("HTTP/2.0") << QByteArray("POST /soap HTTP/2.0\r\n\r\n") << QList<QByteArray>{} << 505 << false;

    // Bounds, whether or not the request is complete.
    QByteArray fields;
    for (int i = 0; i < 11; ++i)
        fields += "X-F" + QByteArray::number(i) + ": 1\r\n";
    QTest::newRow("too many fields") << post(fields) << QList<QByteArray>{} << 431 << false;
    QTest::newRow("one huge field") << post("X-Big: " + QByteArray(3000, 'a') + "\r\n") << QList<QByteArray>{} << 431
                                    << false;
    QTest::newRow("a head without end") << QByteArray("POST /soap HTTP/1.1\r\nX: " + QByteArray(3000, 'a'))
                                        << QList<QByteArray>{} << 431 << false;
    QTest::newRow("declared body too large") << post("Content-Length: 1001\r\n") << QList<QByteArray>{} << 413 << false;
    QTest::newRow("chunks too large") << post("Transfer-Encoding: chunked\r\n", "3e9\r\n" + QByteArray(1001, 'a'))
                                      << QList<QByteArray>{} << 413 << false;
    QTest::newRow("a good request, then a bad one")
        << one + post("Content-Length: x\r\n") << QList<QByteArray>{"abc"} << 400 << false;
}

void tst_ServerHttp::framing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<QByteArray>, bodies);
    QFETCH(int, refusal);
    QFETCH(bool, partial);
    // Whole, and byte by byte: how the bytes arrive must not matter.
    for (qsizetype piece : {qsizetype(0), qsizetype(1), qsizetype(7)}) {
        const Outcome outcome = readAll(bytes, piece);
        QCOMPARE(outcome.bodies, bodies);
        QCOMPARE(outcome.refusal, refusal);
        QCOMPARE(outcome.partial, partial);
    }
}

void tst_ServerHttp::keepAlive_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<bool>("keepAlive");
    QTest::newRow("1.1") << QByteArray("POST /s HTTP/1.1\r\n\r\n") << true;
    QTest::newRow("1.1, close") << QByteArray("POST /s HTTP/1.1\r\nConnection: Close\r\n\r\n") << false;
    QTest::newRow("1.1, close among others")
        << QByteArray("POST /s HTTP/1.1\r\nConnection: te, close\r\n\r\n") << false;
    QTest::newRow("1.0") << QByteArray("POST /s HTTP/1.0\r\n\r\n") << false;
    QTest::newRow("1.0, keep-alive") << QByteArray("POST /s HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n") << true;
}

void tst_ServerHttp::keepAlive()
{
    QFETCH(QByteArray, head);
    QFETCH(bool, keepAlive);
    HttpRequestReader reader;
    reader.Append(head);
    HttpRequestReader::Request request;
    QCOMPARE(reader.Next(request), Result::Complete);
    QCOMPARE(request.KeepAlive(), keepAlive);
}

void tst_ServerHttp::roomIsBounded()
{
    // The reader takes no more than a head and a body can need; a client
    // sending more gets refused, not buffered.
    HttpRequestReader reader(smallLimits());
    const qint64 room = reader.Room();
    QVERIFY(room > 1000 + 2048 && room < 1024 * 1024);
    reader.Append(post("Content-Length: 1000\r\n", QByteArray(500, 'a')));
    QVERIFY(reader.Room() < room);
    HttpRequestReader::Request request;
    QCOMPARE(reader.Next(request), Result::NeedMore);
    reader.Append(QByteArray(500, 'a'));
    QCOMPARE(reader.Next(request), Result::Complete);
    QCOMPARE(request.body.size(), 1000);
    QCOMPARE(reader.Room(), room);
}

QTEST_GUILESS_MAIN(tst_ServerHttp)
#include "tst_server_http.moc"
