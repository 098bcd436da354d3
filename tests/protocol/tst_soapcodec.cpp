#include "testing/ServiceTestRecords.h"

#include "protocol/DecimalText.h"
#include "protocol/SoapCodec.h"

#include <QFile>
#include <QTest>
#include <QXmlStreamReader>

#include <bit>
#include <charconv>
#include <random>

using namespace ServiceTestRecords;

namespace {

QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(DOMVEL_FIXTURES "/soap/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

// The message as lines that ignore prefixes, formatting and attribute order
// but keep element names and namespaces, order, attributes (xsi:type values
// resolved to {namespace}name), the envelope's namespace declarations and the
// exact text of every leaf.
QStringList canonical(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    QStringList lines;
    std::vector<std::pair<QString, QString>> scopes;
    std::vector<std::size_t> marks;
    std::vector<QString> texts;
    std::vector<bool> hasChild;
    auto resolve = [&](QStringView qname) {
        const qsizetype colon = qname.indexOf(u':');
        const QStringView prefix = colon >= 0 ? qname.left(colon) : QStringView();
        for (auto it = scopes.rbegin(); it != scopes.rend(); ++it) {
            if (it->first == prefix)
                return QStringLiteral("{%1}%2").arg(it->second, qname.mid(colon + 1));
        }
        return QStringLiteral("{UNDECLARED %1}%2").arg(prefix, qname.mid(colon + 1));
    };
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            marks.push_back(scopes.size());
            QStringList declared;
            for (const auto &declaration : reader.namespaceDeclarations()) {
                scopes.emplace_back(declaration.prefix().toString(), declaration.namespaceUri().toString());
                declared.append(declaration.namespaceUri().toString());
            }
            if (!hasChild.empty())
                hasChild.back() = true;
            QStringList attributes;
            for (const auto &attribute : reader.attributes()) {
                QString value = attribute.value().toString();
                if (attribute.name() == u"type"
                    && attribute.namespaceUri() == u"http://www.w3.org/2001/XMLSchema-instance")
                    value = resolve(value);
                attributes.append(QStringLiteral("{%1}%2=%3").arg(attribute.namespaceUri(), attribute.name(), value));
            }
            attributes.sort();
            QString line
                = QStringLiteral("<{%1}%2 %3").arg(reader.namespaceUri(), reader.name(), attributes.join(u' '));
            if (texts.empty()) {
                declared.sort();
                line += QStringLiteral(" declares ") + declared.join(u' ');
            }
            lines.append(line);
            texts.emplace_back();
            hasChild.push_back(false);
            break;
        }
        case QXmlStreamReader::Characters:
            if (!texts.empty())
                texts.back() += reader.text();
            break;
        case QXmlStreamReader::EndElement:
            if (!hasChild.back())
                lines.append(QStringLiteral("text ")
                             + QString(texts.back())
                                   .replace(u'\r', QStringLiteral("\\r"))
                                   .replace(u'\n', QStringLiteral("\\n")));
            texts.pop_back();
            hasChild.pop_back();
            scopes.resize(marks.back());
            marks.pop_back();
            lines.append(QStringLiteral("</>"));
            break;
        default: break;
        }
    }
    if (reader.hasError())
        lines.append(QStringLiteral("XML error: ") + reader.errorString());
    return lines;
}

std::string_view operationOf(std::string_view recordType)
{
    for (const OperationInfo &operation : kOperations) {
        if (operation.recordType == recordType)
            return operation.name;
    }
    return {};
}

// Calls f with the expected record of the type named.
template<typename F>
void withRecord(const QString &type, F &&f)
{
    if (type == u"TRemInitialCheck")
        f(initialCheck());
    else if (type == u"TRemWymiarOplatGetData")
        f(wymiarOplat());
    else if (type == u"TRemChangePasswordData")
        f(changePassword());
    else if (type == u"TRemSessionBeginData")
        f(sessionBegin());
    else if (type == u"TRemYearRozrachGetData")
        f(yearRozrach());
    else if (type == u"TRemKartotekaMcaGetData")
        f(kartotekaMca());
    else if (type == u"TRemDokDetailsGetData")
        f(dokDetails());
    else
        QFAIL(qPrintable(QStringLiteral("unknown record type ") + type));
}

template<typename Record>
void verifyAnswer(const QByteArray &message, const Record &expected)
{
    const auto answer = SoapCodec::ReadAnswer<Record>(operationOf(Record::TypeName), message);
    QVERIFY2(answer.ok(), qPrintable(answer.failure().detail));
    const QString difference = firstDifference(answer.value(), expected);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

QList<SoapArgument> toArguments(const QVariantList &values)
{
    QList<SoapArgument> arguments;
    for (const QVariant &value : values) {
        if (value.typeId() == QMetaType::Int)
            arguments.append(qint32(value.toInt()));
        else
            arguments.append(value.toString());
    }
    return arguments;
}

QString kindName(ServiceFailure::Kind kind)
{
    static const char *const names[] = {"Transport", "Tls", "Timeout", "Http", "TooLarge", "Fault", "Read", "Request"};
    return QString::fromLatin1(names[int(kind)]);
}

} // namespace

class tst_SoapCodec : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void request_data();
    void request();
    void requestRefusesTextXmlCannotCarry_data();
    void requestRefusesTextXmlCannotCarry();
    void answer_data();
    void answer();
    void scalarAnswers();
    void faultAnswer();
    void acceptedAnswer_data();
    void acceptedAnswer();
    void brokenAnswer_data();
    void brokenAnswer();
    void sizeCapBeforeParsing();
    void brokenRequest_data();
    void brokenRequest();
    void serverAnswerRoundTrip_data();
    void serverAnswerRoundTrip();
    void serverScalarAnswersAndFault();
    void decimalsReadAsTheFullConversion_data();
    void decimalsReadAsTheFullConversion();
    void randomDecimalsReadAsTheFullConversion();
};

void tst_SoapCodec::request_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QVariantList>("arguments");
    const QString l = QStringLiteral("l"), p = QStringLiteral("p"), t = QStringLiteral("t");
    QTest::newRow("ChangePassword") << "ZOKA_WS_ChangePassword"
                                    << QVariantList{QStringLiteral("Qfwf 12"), QStringLiteral("Hśpo<&>"),
                                                    QStringLiteral("TOK\"'1"), QStringLiteral("Nowe\r\nhasło")};
    QTest::newRow("CzSessionBegin") << "ZOKA_WS_CzSessionBegin"
                                    << QVariantList{QStringLiteral("Łukasz"), QStringLiteral("Zażółć gęślą jaźń")};
    QTest::newRow("DokDetailsGet") << "ZOKA_WS_DokDetailsGet"
                                   << QVariantList{l, p, t, std::numeric_limits<qint32>::min(), 0, 2020};
    QTest::newRow("InitialCheck") << "ZOKA_WS_InitialCheck" << QVariantList{QStringLiteral("1.3.0.0")};
    QTest::newRow("KartotekaMcaGet") << "ZOKA_WS_KartotekaMcaGet" << QVariantList{l, p, t, 2, 2020, 3};
    QTest::newRow("Logout") << "ZOKA_WS_Logout"
                            << QVariantList{QStringLiteral("login"), QStringLiteral("hasło"), QStringLiteral("token")};
    QTest::newRow("SessionRenew") << "ZOKA_WS_SessionRenew"
                                  << QVariantList{QStringLiteral("login"), QStringLiteral("hasło"),
                                                  QStringLiteral("  token ")};
    QTest::newRow("WymiarOplatGet") << "ZOKA_WS_WymiarOplatGet" << QVariantList{l, p, t, 4, 2021, 12};
    QTest::newRow("YearRozrachGet") << "ZOKA_WS_YearRozrachGet"
                                    << QVariantList{QStringLiteral("Ąę"), p, QString(), 2019};
}

// The client writes what the hand-written fixture shows, and the server reads
// the fixture back into the same arguments.
void tst_SoapCodec::request()
{
    QFETCH(QString, operation);
    QFETCH(QVariantList, arguments);
    const OperationInfo *info = FindOperation(operation.toStdString());
    QVERIFY(info);
    const QByteArray expected = fixture(QStringLiteral("request_%1.xml").arg(operation));

    const ServiceResult<QByteArray> written = SoapCodec::WriteRequest(*info, toArguments(arguments));
    QVERIFY2(written.ok(), qPrintable(written.failure().detail));
    QCOMPARE(canonical(written.value()), canonical(expected));
    QCOMPARE(SoapCodec::SoapAction(info->name),
             QByteArray("\"urn:ZOKA_E_BOK-IZOKA_E_BOK#") + operation.toLatin1() + '"');

    const ServiceResult<SoapRequest> read = SoapCodec::ReadRequest(expected);
    QVERIFY2(read.ok(), qPrintable(read.failure().detail));
    QCOMPARE(read.value().operation, info);
    QCOMPARE(read.value().arguments, toArguments(arguments));
}

void tst_SoapCodec::requestRefusesTextXmlCannotCarry_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("control character") << QStringLiteral("ab\x01"
                                                         "c");
    QTest::newRow("escape") << QStringLiteral("\x1b[0m");
    QTest::newRow("U+FFFF") << QString(QChar(0xFFFF));
    QTest::newRow("lone high surrogate") << QString(QChar(0xD800)) + u'x';
    QTest::newRow("lone low surrogate") << QString(QChar(0xDC00));
}

// The writer must refuse, not drop the character and send a different login.
void tst_SoapCodec::requestRefusesTextXmlCannotCarry()
{
    QFETCH(QString, text);
    const auto written = SoapCodec::WriteRequest(*FindOperation("ZOKA_WS_CzSessionBegin"), {text, QStringLiteral("p")});
    QVERIFY(!written.ok());
    QCOMPARE(kindName(written.failure().kind), kindName(ServiceFailure::Kind::Request));
}

void tst_SoapCodec::answer_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("record");
    for (const char *type :
         {"TRemInitialCheck", "TRemWymiarOplatGetData", "TRemChangePasswordData", "TRemSessionBeginData",
          "TRemYearRozrachGetData", "TRemKartotekaMcaGetData", "TRemDokDetailsGetData"}) {
        for (const char *form : {"inline", "multiref1999"}) {
            const QString file
                = QStringLiteral("answer_%1_%2.xml").arg(QLatin1StringView(type), QLatin1StringView(form));
            QTest::newRow(qPrintable(file)) << file << QString::fromLatin1(type);
        }
    }
    QTest::newRow("2000/10 namespaces, prefix rebound") << "answer_TRemSessionBeginData_inline2000.xml"
                                                        << "TRemSessionBeginData";
}

void tst_SoapCodec::answer()
{
    QFETCH(QString, file);
    QFETCH(QString, record);
    const QByteArray message = fixture(file);
    withRecord(record, [&](const auto &expected) { verifyAnswer(message, expected); });
}

void tst_SoapCodec::scalarAnswers()
{
    const auto logout
        = SoapCodec::ReadAnswer<bool>("ZOKA_WS_Logout", fixture(QStringLiteral("answer_ZOKA_WS_Logout.xml")));
    QVERIFY2(logout.ok(), qPrintable(logout.failure().detail));
    QCOMPARE(logout.value(), true);
    const auto renew = SoapCodec::ReadAnswer<QString>("ZOKA_WS_SessionRenew",
                                                      fixture(QStringLiteral("answer_ZOKA_WS_SessionRenew.xml")));
    QVERIFY2(renew.ok(), qPrintable(renew.failure().detail));
    QCOMPARE(renew.value(), QStringLiteral("NowyŻeton#45123.6"));
    // A text answer is no boolean.
    const auto wrongType = SoapCodec::ReadAnswer<bool>("ZOKA_WS_SessionRenew",
                                                       fixture(QStringLiteral("answer_ZOKA_WS_SessionRenew.xml")));
    QVERIFY(!wrongType.ok());
}

void tst_SoapCodec::faultAnswer()
{
    const QByteArray message = fixture(QStringLiteral("answer_fault.xml"));
    const auto answer = SoapCodec::ReadAnswer<TRemSessionBeginData>("ZOKA_WS_CzSessionBegin", message);
    QVERIFY(!answer.ok());
    QCOMPARE(kindName(answer.failure().kind), kindName(ServiceFailure::Kind::Fault));
    QCOMPARE(answer.failure().detail, QStringLiteral("Błąd bazy danych: połączenie zerwane"));
    QVERIFY(SoapCodec::ReadFault(message).has_value());
    QVERIFY(!SoapCodec::ReadFault(fixture(QStringLiteral("answer_ZOKA_WS_Logout.xml"))).has_value());
}

void tst_SoapCodec::acceptedAnswer_data()
{
    // Edits of valid fixtures (find, replace, ...) into answers that a real
    // server may send; each must read as the fixture's record.
    QTest::addColumn<QString>("base");
    QTest::addColumn<QStringList>("edits");
    const QString ic = QStringLiteral("answer_TRemInitialCheck_inline.xml");
    const QString ledgerRef = QStringLiteral("answer_TRemKartotekaMcaGetData_multiref1999.xml");
    const QString details = QStringLiteral("answer_TRemDokDetailsGetData_inline.xml");
    const QString response = QStringLiteral("<m:ZOKA_WS_KartotekaMcaGetResponse xmlns:m=\"urn:ZOKA_E_BOK-IZOKA_E_BOK\">"
                                            "<return href=\"#r1\"/></m:ZOKA_WS_KartotekaMcaGetResponse>");
    const QString retCode = QStringLiteral("<RetCode xsi:type=\"xsd:int\">100</RetCode>");

    // SOAP 1.1 lets independent elements stand anywhere among the Body's children.
    QTest::newRow("response after the referenced elements")
        << ledgerRef
        << QStringList{response, QString(), QStringLiteral("</soap:Body>"), response + QStringLiteral("</soap:Body>")};
    QTest::newRow("response between the record and its arrays")
        << ledgerRef
        << QStringList{response, QString(), QStringLiteral("</multiRef>"), QStringLiteral("</multiRef>") + response};
    QTest::newRow("array before the record that refers to it")
        << ledgerRef
        << QStringList{QStringLiteral("<enc:Array id=\"a8\""), QStringLiteral("<enc:Array id=\"a0\""),
                       QStringLiteral("<multiRef id=\"r1\""),
                       QStringLiteral("<enc:Array id=\"a8\" enc:arrayType=\"s:string[3]\">"
                                      "<v>N/03/2020</v><v></v><v>PK 7</v></enc:Array>"
                                      "<multiRef id=\"r1\"")};
    QTest::newRow("element after the Body")
        << ic
        << QStringList{QStringLiteral("</SOAP-ENV:Body>"),
                       QStringLiteral("</SOAP-ENV:Body><x:Trailer xmlns:x=\"urn:x\"><x:a>1</x:a></x:Trailer>")};
    QTest::newRow("properties in another order")
        << ic
        << QStringList{retCode, QString(), QStringLiteral("</RetCodeAsString>"),
                       QStringLiteral("</RetCodeAsString>") + retCode};
    QTest::newRow("properties in another order, multi-reference")
        << ledgerRef
        << QStringList{QStringLiteral("<RetCode i:type=\"s:int\">0</RetCode>"), QString(),
                       QStringLiteral("</multiRef>"),
                       QStringLiteral("<RetCode i:type=\"s:int\">0</RetCode></multiRef>")};
    QTest::newRow("unsignedInt for an int")
        << ic << QStringList{QStringLiteral("xsd:int\">100"), QStringLiteral("xsd:unsignedInt\">100")};
    QTest::newRow("integer for an int") << ic
                                        << QStringList{QStringLiteral("xsd:int\">100"),
                                                       QStringLiteral("xsd:integer\">100")};
    QTest::newRow("unsignedShort for an int")
        << ic << QStringList{QStringLiteral("xsd:int\">100"), QStringLiteral("xsd:unsignedShort\">100")};
    QTest::newRow("unsignedShort array for TBoundArray")
        << ledgerRef
        << QStringList{QStringLiteral("s:int[3]\"><v>0</v>"), QStringLiteral("s:unsignedShort[3]\"><v>0</v>")};
    QTest::newRow("unsignedInt items")
        << ledgerRef
        << QStringList{QStringLiteral("<v>0</v><v>1</v><v>0</v>"),
                       QStringLiteral("<v i:type=\"s:unsignedInt\">0</v><v>1</v><v i:type=\"s:unsignedByte\">0</v>")};
    QTest::newRow("double item referenced twice") << ledgerRef
                                                  << QStringList{QStringLiteral("<v>43891</v><v>43895</v>"),
                                                                 QStringLiteral("<v href=\"#d\"/><v>43895</v>"),
                                                                 QStringLiteral("<v>43891</v><v>43895.5</v>"),
                                                                 QStringLiteral("<v href=\"#d\"/><v>43895.5</v>"),
                                                                 QStringLiteral("</soap:Body>"),
                                                                 QStringLiteral("<n id=\"d\">43891</n></soap:Body>")};
    QTest::newRow("first property last") << details
                                         << QStringList{
                                                QStringLiteral("<RetCode xsi:type=\"xsd:int\">0</RetCode>"), QString(),
                                                QStringLiteral("</return>"),
                                                QStringLiteral("<RetCode xsi:type=\"xsd:int\">0</RetCode></return>")};
}

// What a real server may send beyond our own writer's form reads as the same record.
void tst_SoapCodec::acceptedAnswer()
{
    QFETCH(QString, base);
    QFETCH(QStringList, edits);
    QString message = QString::fromUtf8(fixture(base));
    for (qsizetype i = 0; i + 1 < edits.size(); i += 2) {
        QVERIFY2(message.contains(edits[i]), qPrintable(QStringLiteral("fixture lacks ") + edits[i]));
        message.replace(edits[i], edits[i + 1]);
    }
    const QByteArray bytes = message.toUtf8();
    if (base.contains(u"KartotekaMca"))
        verifyAnswer(bytes, kartotekaMca());
    else if (base.contains(u"DokDetails"))
        verifyAnswer(bytes, dokDetails());
    else
        verifyAnswer(bytes, initialCheck());
}

void tst_SoapCodec::brokenAnswer_data()
{
    // Each row edits a valid fixture (find, replace, ...) into a broken one;
    // the base "none" makes the message from the replacement alone.
    QTest::addColumn<QString>("base");
    QTest::addColumn<QStringList>("edits");
    const QString ic = QStringLiteral("answer_TRemInitialCheck_inline.xml");
    const QString ledger = QStringLiteral("answer_TRemKartotekaMcaGetData_inline.xml");
    const QString ledgerRef = QStringLiteral("answer_TRemKartotekaMcaGetData_multiref1999.xml");
    const QString details = QStringLiteral("answer_TRemDokDetailsGetData_inline.xml");
    const QString retCode = QStringLiteral("<RetCode xsi:type=\"xsd:int\">100</RetCode>");
    const QString declaration = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");

    QTest::newRow("empty") << "none" << QStringList{QString(), QString()};
    QTest::newRow("not XML") << "none" << QStringList{QString(), QStringLiteral("Service Unavailable")};
    QTest::newRow("HTML page") << "none" << QStringList{QString(), QStringLiteral("<html><body>502</body></html>")};
    QTest::newRow("truncated") << ic << QStringList{QStringLiteral("</SOAP-ENV:Envelope>"), QString()};
    QTest::newRow("DTD with entity")
        << ic << QStringList{declaration, declaration + QStringLiteral("<!DOCTYPE d [<!ENTITY a \"aaaaaaaa\">]>")};
    QTest::newRow("DTD alone") << ic << QStringList{declaration, declaration + QStringLiteral("<!DOCTYPE d>")};
    QTest::newRow("processing instruction")
        << ic << QStringList{QStringLiteral("<RetCode "), QStringLiteral("<?step one?><RetCode ")};
    QTest::newRow("undeclared entity") << ic << QStringList{QStringLiteral(">100<"), QStringLiteral(">&ent;<")};
    QTest::newRow("SOAP 1.2 envelope") << ic
                                       << QStringList{QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/"),
                                                      QStringLiteral("http://www.w3.org/2003/05/soap-envelope")};
    QTest::newRow("no body") << ic << QStringList{QStringLiteral("SOAP-ENV:Body"), QStringLiteral("SOAP-ENV:Corpse")};
    QTest::newRow("another operation's response")
        << ic << QStringList{QStringLiteral("ZOKA_WS_InitialCheckResponse"), QStringLiteral("ZOKA_WS_LogoutResponse")};
    QTest::newRow("response in another namespace")
        << ic
        << QStringList{QStringLiteral("xmlns:NS1=\"urn:ZOKA_E_BOK-IZOKA_E_BOK\""),
                       QStringLiteral("xmlns:NS1=\"urn:other\"")};
    QTest::newRow("no return") << ic
                               << QStringList{QStringLiteral("<return "), QStringLiteral("<result "),
                                              QStringLiteral("</return>"), QStringLiteral("</result>")};
    QTest::newRow("qualified return") << ic
                                      << QStringList{QStringLiteral("<return "), QStringLiteral("<NS1:return "),
                                                     QStringLiteral("</return>"), QStringLiteral("</NS1:return>")};
    QTest::newRow("second return") << ic
                                   << QStringList{QStringLiteral("</return>"), QStringLiteral("</return><return/>")};
    QTest::newRow("missing property") << ic
                                      << QStringList{QStringLiteral("<RetCodeAsString xsi:type=\"xsd:string\">Wersja"),
                                                     QStringLiteral("<Other xsi:type=\"xsd:string\">Wersja"),
                                                     QStringLiteral("</RetCodeAsString>"), QStringLiteral("</Other>")};
    QTest::newRow("last property missing")
        << ic
        << QStringList{QStringLiteral("<RetCodeAsString xsi:type=\"xsd:string\">Wersja aktualna: A&amp;B "
                                      "&lt;zażółć gęślą jaźń&gt;</RetCodeAsString>"),
                       QString()};
    QTest::newRow("repeated property") << ic
                                       << QStringList{QStringLiteral("</RetCodeAsString>"),
                                                      QStringLiteral("</RetCodeAsString>") + retCode};
    QTest::newRow("unknown property") << ic
                                      << QStringList{QStringLiteral("</RetCodeAsString>"),
                                                     QStringLiteral("</RetCodeAsString><Extra>1</Extra>")};
    QTest::newRow("qualified property") << ic
                                        << QStringList{QStringLiteral("<RetCode "), QStringLiteral("<NS2:RetCode "),
                                                       QStringLiteral("</RetCode>"), QStringLiteral("</NS2:RetCode>")};
    QTest::newRow("int typed as string") << ic
                                         << QStringList{QStringLiteral("xsd:int\">100"),
                                                        QStringLiteral("xsd:string\">100")};
    QTest::newRow("int not a number") << ic << QStringList{QStringLiteral(">100<"), QStringLiteral(">12a<")};
    QTest::newRow("int overflow") << ic << QStringList{QStringLiteral(">100<"), QStringLiteral(">2147483648<")};
    QTest::newRow("int empty") << ic << QStringList{QStringLiteral(">100<"), QStringLiteral("><")};
    QTest::newRow("int with fraction") << ic << QStringList{QStringLiteral(">100<"), QStringLiteral(">100.0<")};
    QTest::newRow("unsignedInt below zero")
        << ic << QStringList{QStringLiteral("xsd:int\">100"), QStringLiteral("xsd:unsignedInt\">-1")};
    QTest::newRow("unsignedInt beyond int")
        << ic << QStringList{QStringLiteral("xsd:int\">100"), QStringLiteral("xsd:unsignedInt\">4294967295")};
    QTest::newRow("unsignedShort beyond its range")
        << ic << QStringList{QStringLiteral("xsd:int\">100"), QStringLiteral("xsd:unsignedShort\">70000")};
    QTest::newRow("int nil") << ic << QStringList{retCode, QStringLiteral("<RetCode xsi:nil=\"true\"/>")};
    QTest::newRow("element inside int") << ic << QStringList{QStringLiteral(">100<"), QStringLiteral("><b>100</b><")};
    QTest::newRow("text beside properties")
        << ic << QStringList{QStringLiteral("<RetCode "), QStringLiteral("stray<RetCode ")};
    QTest::newRow("record of another type")
        << ic << QStringList{QStringLiteral("NS2:TRemInitialCheck"), QStringLiteral("NS2:TRemWymiarOplatGetData")};
    QTest::newRow("record type in another namespace")
        << ic
        << QStringList{QStringLiteral("xmlns:NS2=\"urn:RemSessionDataTypes\""), QStringLiteral("xmlns:NS2=\"urn:x\"")};
    QTest::newRow("undeclared prefix") << ic << QStringList{QStringLiteral("xsd:int"), QStringLiteral("q:int")};
    QTest::newRow("unknown schema namespace") << ic
                                              << QStringList{QStringLiteral("\"http://www.w3.org/2001/XMLSchema\""),
                                                             QStringLiteral("\"http://www.w3.org/2002/XMLSchema\"")};
    QTest::newRow("malformed element after the Body")
        << ic << QStringList{QStringLiteral("</SOAP-ENV:Body>"), QStringLiteral("</SOAP-ENV:Body><x>")};
    QTest::newRow("two responses")
        << ic
        << QStringList{QStringLiteral("</SOAP-ENV:Body>"),
                       QStringLiteral("<NS1:ZOKA_WS_InitialCheckResponse xmlns:NS1=\"urn:ZOKA_E_BOK-IZOKA_E_BOK\">"
                                      "<return/></NS1:ZOKA_WS_InitialCheckResponse></SOAP-ENV:Body>")};
    QTest::newRow("only referenced elements")
        << ic
        << QStringList{QStringLiteral("NS1:ZOKA_WS_InitialCheckResponse xmlns"),
                       QStringLiteral("NS1:Other id=\"x\" xmlns"),
                       QStringLiteral("</NS1:ZOKA_WS_InitialCheckResponse>"), QStringLiteral("</NS1:Other>")};
    QTest::newRow("nesting too deep") << ic
                                      << QStringList{QStringLiteral(">100<"),
                                                     QStringLiteral(">") + QStringLiteral("<a>").repeated(40)
                                                         + QStringLiteral("</a>").repeated(40) + QStringLiteral("<")};
    QString attributes, declarations;
    for (int i = 0; i < 1000; ++i) {
        attributes += QStringLiteral(" a%1=\"\"").arg(i);
        declarations += QStringLiteral(" xmlns:p%1=\"urn:p\"").arg(i);
    }
    // Valid XML, but the stream reader handles these in quadratic time.
    QTest::newRow("a thousand attributes")
        << ic << QStringList{QStringLiteral("<RetCode "), QStringLiteral("<RetCode") + attributes + u' '};
    QTest::newRow("a thousand namespace declarations")
        << ic << QStringList{QStringLiteral("<RetCode "), QStringLiteral("<RetCode") + declarations + u' '};

    QTest::newRow("array count above items")
        << ledger << QStringList{QStringLiteral("xsd:int[3]"), QStringLiteral("xsd:int[4]")};
    QTest::newRow("array count below items")
        << ledger << QStringList{QStringLiteral("xsd:double[3]"), QStringLiteral("xsd:double[2]")};
    QTest::newRow("huge array count") << ledger
                                      << QStringList{QStringLiteral("xsd:int[3]"),
                                                     QStringLiteral("xsd:int[2147483647]")};
    QTest::newRow("count beyond int") << ledger
                                      << QStringList{QStringLiteral("xsd:int[3]"),
                                                     QStringLiteral("xsd:int[99999999999999999999]")};
    QTest::newRow("negative array count")
        << ledger << QStringList{QStringLiteral("xsd:int[3]"), QStringLiteral("xsd:int[-3]")};
    QTest::newRow("two-dimensional array")
        << ledger << QStringList{QStringLiteral("xsd:int[3]"), QStringLiteral("xsd:int[3,1]")};
    QTest::newRow("array without arrayType")
        << ledger << QStringList{QStringLiteral(" SOAP-ENC:arrayType=\"xsd:int[3]\""), QString()};
    QTest::newRow("int array of strings")
        << ledger << QStringList{QStringLiteral("xsd:int[3]"), QStringLiteral("xsd:string[3]")};
    QTest::newRow("array typed as int") << ledger
                                        << QStringList{QStringLiteral("<KsgStrona xsi:type=\"SOAP-ENC:Array\""),
                                                       QStringLiteral("<KsgStrona xsi:type=\"xsd:int\"")};
    QTest::newRow("array as plain value")
        << ledger
        << QStringList{QStringLiteral("<item>Naliczenie opłat za wodę</item>"), QString(),
                       QStringLiteral("xsd:string[3]\">"), QStringLiteral("xsd:string[2]\">x")};
    QTest::newRow("item typed as string") << ledger
                                          << QStringList{QStringLiteral("<item>120.5</item>"),
                                                         QStringLiteral("<item xsi:type=\"xsd:string\">120.5</item>")};
    QTest::newRow("decimal comma") << ledger
                                   << QStringList{QStringLiteral("<item>120.5</item>"),
                                                  QStringLiteral("<item>120,5</item>")};
    QTest::newRow("NaN amount") << ledger
                                << QStringList{QStringLiteral("<item>120.5</item>"),
                                               QStringLiteral("<item>NaN</item>")};
    QTest::newRow("infinite amount") << ledger
                                     << QStringList{QStringLiteral("<item>120.5</item>"),
                                                    QStringLiteral("<item>-INF</item>")};
    QTest::newRow("amount out of range") << ledger
                                         << QStringList{QStringLiteral("<item>120.5</item>"),
                                                        QStringLiteral("<item>1e999</item>")};
    QTest::newRow("hexadecimal amount") << ledger
                                        << QStringList{QStringLiteral("<item>120.5</item>"),
                                                       QStringLiteral("<item>0x78</item>")};
    QTest::newRow("partial array") << ledger
                                   << QStringList{QStringLiteral("arrayType=\"xsd:int[3]\""),
                                                  QStringLiteral("arrayType=\"xsd:int[3]\" SOAP-ENC:offset=\"[1]\"")};
    QTest::newRow("boolean spelled out") << details
                                         << QStringList{QStringLiteral("<item>true</item>"),
                                                        QStringLiteral("<item>yes</item>")};

    QTest::newRow("dangling reference") << ledgerRef
                                        << QStringList{QStringLiteral("href=\"#r1\""), QStringLiteral("href=\"#r9\"")};
    QTest::newRow("external reference") << ledgerRef
                                        << QStringList{QStringLiteral("href=\"#r1\""),
                                                       QStringLiteral("href=\"http://example.invalid/r1\"")};
    QTest::newRow("reference to a reference")
        << ledgerRef
        << QStringList{QStringLiteral("id=\"r1\""), QStringLiteral("id=\"r0\""), QStringLiteral("</soap:Body>"),
                       QStringLiteral("<multiRef id=\"r1\" href=\"#r0\"/></soap:Body>")};
    QTest::newRow("duplicate id") << ledgerRef << QStringList{QStringLiteral("id=\"a2\""), QStringLiteral("id=\"a1\"")};
    QTest::newRow("array referenced as record")
        << ledgerRef << QStringList{QStringLiteral("<return href=\"#r1\"/>"), QStringLiteral("<return href=\"#a1\"/>")};
    QTest::newRow("record referenced as array")
        << ledgerRef
        << QStringList{QStringLiteral("<KsgStrona href=\"#a1\"/>"), QStringLiteral("<KsgStrona href=\"#r1\"/>")};
    QTest::newRow("reference with content")
        << ledgerRef
        << QStringList{QStringLiteral("<return href=\"#r1\"/>"), QStringLiteral("<return href=\"#r1\">x</return>")};
    QTest::newRow("nil record") << ledgerRef
                                << QStringList{QStringLiteral("<return href=\"#r1\"/>"),
                                               QStringLiteral("<return i:null=\"1\"/>")};
}

// Every broken answer is a read error: never a crash, never a record.
void tst_SoapCodec::brokenAnswer()
{
    QFETCH(QString, base);
    QFETCH(QStringList, edits);
    QString message = base == u"none" ? QString() : QString::fromUtf8(fixture(base));
    for (qsizetype i = 0; i + 1 < edits.size(); i += 2) {
        if (base != u"none")
            QVERIFY2(message.contains(edits[i]), qPrintable(QStringLiteral("fixture lacks ") + edits[i]));
        message = base == u"none" ? edits[i + 1] : message.replace(edits[i], edits[i + 1]);
    }
    const QByteArray bytes = message.toUtf8();
    auto verifyReadError = [&](const auto &expected) {
        using Record = std::decay_t<decltype(expected)>;
        const auto answer = SoapCodec::ReadAnswer<Record>(operationOf(Record::TypeName), bytes);
        QVERIFY2(!answer.ok(), "a broken answer was read as a record");
        QCOMPARE(kindName(answer.failure().kind), kindName(ServiceFailure::Kind::Read));
        QVERIFY(!answer.failure().detail.isEmpty());
    };
    if (base.contains(u"KartotekaMca"))
        verifyReadError(kartotekaMca());
    else if (base.contains(u"DokDetails"))
        verifyReadError(dokDetails());
    else
        verifyReadError(initialCheck());
}

void tst_SoapCodec::sizeCapBeforeParsing()
{
    const QByteArray message = fixture(QStringLiteral("answer_TRemInitialCheck_inline.xml"));
    QVERIFY(SoapCodec::ReadAnswer<TRemInitialCheck>("ZOKA_WS_InitialCheck", message, message.size()).ok());
    const auto capped = SoapCodec::ReadAnswer<TRemInitialCheck>("ZOKA_WS_InitialCheck", message, message.size() - 1);
    QVERIFY(!capped.ok());
    QCOMPARE(kindName(capped.failure().kind), kindName(ServiceFailure::Kind::Read));
}

void tst_SoapCodec::brokenRequest_data()
{
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replace");
    // Edits of request_ZOKA_WS_YearRozrachGet.xml.
    QTest::newRow("unknown operation") << "ZOKA_WS_YearRozrachGet"
                                       << "ZOKA_WS_DeleteAll";
    QTest::newRow("operation in another namespace") << "urn:ZOKA_E_BOK-IZOKA_E_BOK"
                                                    << "urn:other";
    QTest::newRow("missing parameter") << "<aYearEwid xsi:type=\"xsd:int\">2019</aYearEwid>"
                                       << "";
    QTest::newRow("extra parameter") << "</aYearEwid>"
                                     << "</aYearEwid><aMonth xsi:type=\"xsd:int\">1</aMonth>";
    QTest::newRow("misnamed parameter") << "aPasswordE"
                                        << "aPassword";
    QTest::newRow("int parameter typed as string") << "xsd:int"
                                                   << "xsd:string";
    QTest::newRow("int parameter not a number") << ">2019<"
                                                << ">MMXIX<";
    QTest::newRow("text parameter typed as int") << "<aPasswordE xsi:type=\"xsd:string\""
                                                 << "<aPasswordE xsi:type=\"xsd:int\"";
    QTest::newRow("DTD") << "<SOAP-ENV:Envelope"
                         << "<!DOCTYPE x [<!ENTITY e \"e\">]><SOAP-ENV:Envelope";
}

void tst_SoapCodec::brokenRequest()
{
    QFETCH(QString, find);
    QFETCH(QString, replace);
    QString message = QString::fromUtf8(fixture(QStringLiteral("request_ZOKA_WS_YearRozrachGet.xml")));
    QVERIFY(message.contains(find));
    message.replace(find, replace);
    const ServiceResult<SoapRequest> request = SoapCodec::ReadRequest(message.toUtf8());
    QVERIFY2(!request.ok(), "a broken request was accepted");
    QCOMPARE(kindName(request.failure().kind), kindName(ServiceFailure::Kind::Read));
}

void tst_SoapCodec::serverAnswerRoundTrip_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<bool>("multiReference");
    for (const char *type :
         {"TRemInitialCheck", "TRemWymiarOplatGetData", "TRemChangePasswordData", "TRemSessionBeginData",
          "TRemYearRozrachGetData", "TRemKartotekaMcaGetData", "TRemDokDetailsGetData"}) {
        QTest::addRow("%s inline", type) << QString::fromLatin1(type) << false;
        QTest::addRow("%s multi-reference", type) << QString::fromLatin1(type) << true;
    }
}

// What the demo server writes, the client reads back unchanged.
void tst_SoapCodec::serverAnswerRoundTrip()
{
    QFETCH(QString, record);
    QFETCH(bool, multiReference);
    const auto form = multiReference ? SoapWriter::RecordForm::MultiReference : SoapWriter::RecordForm::Inline;
    withRecord(record, [&](auto expected) {
        using Record = decltype(expected);
        // Text that only survives with care: a carriage return, markup, a
        // character outside the BMP; and doubles that only survive exactly.
        if constexpr (std::is_same_v<Record, TRemKartotekaMcaGetData>) {
            expected.KsgTrescOper.append(QStringLiteral("wiersz 1\r\nwiersz 2 <&> \U0001F3E0"));
            expected.KsgValue.append({0.1 + 0.2, 1.0 / 3.0, -1e-300, 1.7976931348623157e308, 123456789.125});
        }
        const auto written = SoapCodec::WriteAnswer(operationOf(Record::TypeName), expected, form);
        QVERIFY2(written.ok(), qPrintable(written.failure().detail));
        verifyAnswer(written.value(), expected);
    });
}

void tst_SoapCodec::serverScalarAnswersAndFault()
{
    for (bool value : {true, false}) {
        const auto written = SoapCodec::WriteBooleanAnswer("ZOKA_WS_Logout", value);
        QVERIFY(written.ok());
        const auto read = SoapCodec::ReadAnswer<bool>("ZOKA_WS_Logout", written.value());
        QVERIFY(read.ok());
        QCOMPARE(read.value(), value);
    }
    for (const QString &token : {QString(), QStringLiteral("Żeton 45123.5\r")}) {
        const auto written = SoapCodec::WriteTextAnswer("ZOKA_WS_SessionRenew", token);
        QVERIFY(written.ok());
        const auto read = SoapCodec::ReadAnswer<QString>("ZOKA_WS_SessionRenew", written.value());
        QVERIFY(read.ok());
        QCOMPARE(read.value(), token);
    }
    const QByteArray fault
        = SoapCodec::WriteFault(QStringLiteral("Client"), QStringLiteral("Nieznany użytkownik \x01"));
    const auto read = SoapCodec::ReadAnswer<TRemInitialCheck>("ZOKA_WS_InitialCheck", fault);
    QVERIFY(!read.ok());
    QCOMPARE(kindName(read.failure().kind), kindName(ServiceFailure::Kind::Fault));
    QCOMPARE(read.failure().detail, QStringLiteral("Nieznany użytkownik \uFFFD"));
}

namespace {

// What the standard's correctly rounded conversion makes of a decimal the
// lexer accepts, bit for bit (the sign of zero included).
quint64 fullConversionBits(std::string_view text)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return std::bit_cast<quint64>(value);
}

} // namespace

// Short decimals take a quicker road than the full conversion; on both sides
// of its limits (15 digits, 22 decimal places) the value is the same.
void tst_SoapCodec::decimalsReadAsTheFullConversion_data()
{
    QTest::addColumn<QByteArray>("text");
    for (const char *text : {"0",
                             "-0",
                             "-0.000",
                             "+5.5",
                             "0.1",
                             "0.3",
                             "120.5",
                             "-120.5",
                             "43891",
                             "43921.75",
                             "999999999999999",
                             "9999999999999999",
                             "9007199254740993",
                             "0.000000000000000000001",
                             "0.0000000000000000000001",
                             "0.00000000000000000000001",
                             "1.0000000000000000000000",
                             "612.94000000000005",
                             "0.30000000000000004",
                             "123456789.125",
                             "00000000000001.5",
                             "5.",
                             ".5",
                             "-.5",
                             "1e5",
                             "2.5E-3",
                             "1.7976931348623157e308",
                             "4.9e-324",
                             "."})
        QTest::newRow(text) << QByteArray(text);
}

void tst_SoapCodec::decimalsReadAsTheFullConversion()
{
    QFETCH(QByteArray, text);
    const std::string_view view(text.constData(), std::size_t(text.size()));
    const std::optional<double> read = LexDecimal(view);
    if (text == ".") {
        QVERIFY(!read);
        return;
    }
    QVERIFY(read);
    QCOMPARE(std::bit_cast<quint64>(*read), fullConversionBits(view));
}

// Amounts as a server writes them: up to 17 significant digits, the point
// anywhere, either sign. A fixed seed keeps a failure reproducible.
void tst_SoapCodec::randomDecimalsReadAsTheFullConversion()
{
    std::mt19937_64 random(20261210);
    std::uniform_int_distribution<int> digitCount(1, 17), digit(0, 9), sign(0, 2);
    int mismatches = 0;
    QByteArray firstMismatch;
    for (int round = 0; round < 200'000; ++round) {
        std::string text;
        if (const int s = sign(random); s > 0)
            text += s == 1 ? '-' : '+';
        const int digits = digitCount(random);
        const int point = std::uniform_int_distribution<int>(0, digits)(random);
        for (int d = 0; d < digits; ++d) {
            if (d == point && d > 0)
                text += '.';
            text += char('0' + digit(random));
        }
        const std::optional<double> read = LexDecimal(text);
        if (!read || std::bit_cast<quint64>(*read) != fullConversionBits(text)) {
            if (mismatches++ == 0)
                firstMismatch = QByteArray::fromStdString(text);
        }
    }
    QVERIFY2(
        mismatches == 0,
        qPrintable(QStringLiteral("%1 mismatches, first: %2").arg(mismatches).arg(QString::fromLatin1(firstMismatch))));
}

QTEST_GUILESS_MAIN(tst_SoapCodec)
#include "tst_soapcodec.moc"
