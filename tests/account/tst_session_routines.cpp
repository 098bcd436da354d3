#include "account/DisplayTexts.h"
#include "account/FormatAmount.h"
#include "account/MonthSlots.h"
#include "protocol/CredentialEncoding.h"
#include "protocol/PasswordRule.h"
#include "protocol/ServiceAddress.h"

#include <QLocale>
#include <QTest>

#include <cmath>
#include <limits>

class tst_SessionRoutines : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rotateText_data();
    void rotateText();
    void credentialRoundTrip_data();
    void credentialRoundTrip();
    void strongPassword_data();
    void strongPassword();
    void weakPasswordMessage();
    void formatAmountPolish_data();
    void formatAmountPolish();
    void formatAmountOtherLocale();
    void categoryAndKindTexts();
    void copyToMonthSlots_data();
    void copyToMonthSlots();
    void serviceUrl();
};

void tst_SessionRoutines::rotateText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("upper");
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("digit");
    QTest::addColumn<QString>("expected");

    QTest::newRow("negative moves forward, wrapping") << "AZaz09" << -1 << -1 << -1 << "BAba10";
    QTest::newRow("positive moves backward, wrapping") << "AZaz09" << 1 << 1 << 1 << "ZYzy98";
    QTest::newRow("each range its own amount") << "Mm5" << -2 << 3 << -4 << "Oj9";
    QTest::newRow("full turns change nothing") << "Kk7" << 26 << -52 << 10 << "Kk7";
    QTest::newRow("amounts beyond a turn") << "Aa0" << -27 << 27 << -13 << "Bz3";
    QTest::newRow("extreme amounts") << "Aa0" << std::numeric_limits<int>::min() << std::numeric_limits<int>::max()
                                     << std::numeric_limits<int>::min()
                                     << RotateText(QStringLiteral("Aa0"), std::numeric_limits<int>::min() % 26,
                                                   std::numeric_limits<int>::max() % 26,
                                                   std::numeric_limits<int>::min() % 10);
    QTest::newRow("others untouched") << "ąĄ ,.;:!?-_ż€\t" << -5 << -5 << -5 << "ąĄ ,.;:!?-_ż€\t";
    QTest::newRow("empty") << "" << 3 << 3 << 3 << "";
}

void tst_SessionRoutines::rotateText()
{
    QFETCH(QString, text);
    QFETCH(int, upper);
    QFETCH(int, lower);
    QFETCH(int, digit);
    QFETCH(QString, expected);
    QCOMPARE(RotateText(text, upper, lower, digit), expected);
}

void tst_SessionRoutines::credentialRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("letters and digits") << "JanKowalski1984";
    QTest::newRow("every ASCII letter and digit") << "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QTest::newRow("Polish letters, spaces, punctuation") << "Zażółć gęślą jaźń, ŻÓŁW! 12:30; «cytat»";
    QTest::newRow("empty") << "";
}

void tst_SessionRoutines::credentialRoundTrip()
{
    QFETCH(QString, text);
    const QString encoded = EncodeCredential(text);
    QCOMPARE(DecodeCredential(encoded), text);
    QCOMPARE(encoded.size(), text.size());
    // Only ASCII letters and digits change, and each of them does.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool rotates = c.unicode() < 0x80 && c.isLetterOrNumber();
        QVERIFY2(rotates == (encoded[i] != c), qPrintable(QStringLiteral("character %1 of %2").arg(i).arg(text)));
    }
}

void tst_SessionRoutines::strongPassword_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("strong");
    QTest::newRow("7 chars, all classes") << "Abcdef1" << true;
    QTest::newRow("no upper-case") << "abcdef1" << false;
    QTest::newRow("no lower-case") << "A11111" << false;
    QTest::newRow("no digit") << "Abcdefg" << false;
    QTest::newRow("6 chars, minimum") << "Abcde1" << true;
    QTest::newRow("5 chars") << "Abcd1" << false;
    QTest::newRow("4 chars, all classes") << "Ab1c" << false;
    QTest::newRow("16 chars, maximum") << "Abcdefghijklmno1" << true;
    QTest::newRow("17 chars") << "Abcdefghijklmnop1" << false;
    QTest::newRow("Polish upper-case does not count") << "Łabcde1" << false;
    QTest::newRow("Polish lower-case does not count") << "ABCDEż1" << false;
    QTest::newRow("punctuation allowed") << "A-b c!1" << true;
    QTest::newRow("empty") << "" << false;
}

void tst_SessionRoutines::strongPassword()
{
    QFETCH(QString, password);
    QFETCH(bool, strong);
    QCOMPARE(IsStrongPassword(password), strong);
}

void tst_SessionRoutines::weakPasswordMessage()
{
    QCOMPARE(WeakPasswordMessage(),
             QStringLiteral("Podane hasło jest zbyt słabe.\n"
                            "Hasło musi zawierać co najmniej 1 literę dużą,\n"
                            "1 literę małą i 1 cyfrę.\n"
                            "Minimalna ilość znaków: 6"));
}

void tst_SessionRoutines::formatAmountPolish_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected"); // "_" stands for the group separator

    QTest::newRow("zero") << 0.0 << "0,00";
    QTest::newRow("negative zero") << -0.0 << "0,00";
    QTest::newRow("below three digits") << 12.3 << "12,30";
    QTest::newRow("four digits grouped") << 1234.5 << "1_234,50";
    QTest::newRow("millions") << 1234567.5 << "1_234_567,50";
    QTest::newRow("negative") << -1234.5 << "-1_234,50";
    QTest::newRow("exact thousands") << 100000.0 << "100_000,00";
    QTest::newRow("half up on decimal digits: 2.675") << 2.675 << "2,68";
    QTest::newRow("half up on decimal digits: 1.005") << 1.005 << "1,01";
    QTest::newRow("half away from zero, negative") << -0.125 << "-0,13";
    QTest::newRow("rounds down") << 0.124999 << "0,12";
    QTest::newRow("carry into a new group") << 999.995 << "1_000,00";
    QTest::newRow("sum of doubles") << 0.1 + 0.2 << "0,30";
    QTest::newRow("tiny negative reads as zero") << -0.004 << "0,00";
    QTest::newRow("tiny negative rounding away") << -0.005 << "-0,01";
    QTest::newRow("tiny positive") << 0.000001 << "0,00";
    QTest::newRow("15 significant digits") << 1234567890123.45 << "1_234_567_890_123,45";
    QTest::newRow("17 digits cut to 15") << 12345678901234.567 << "12_345_678_901_234,60";
    QTest::newRow("15 integer digits") << 123456789012345.0 << "123_456_789_012_345,00";
    QTest::newRow("beyond 15 digits") << 1e20 << "100_000_000_000_000_000_000,00";
    QTest::newRow("not a number") << std::nan("") << "NAN";
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << "INF";
    QTest::newRow("negative infinity") << -std::numeric_limits<double>::infinity() << "-INF";
}

void tst_SessionRoutines::formatAmountPolish()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    const QLocale polish(QLocale::Polish, QLocale::Poland);
    expected.replace(u'_', polish.groupSeparator());
    QCOMPARE(FormatAmount(value, polish), expected);
}

void tst_SessionRoutines::formatAmountOtherLocale()
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QCOMPARE(FormatAmount(-1234567.5, english), QStringLiteral("-1,234,567.50"));
    const QLocale german(QLocale::German, QLocale::Germany);
    QCOMPARE(FormatAmount(1234.5, german), QStringLiteral("1.234,50"));
}

void tst_SessionRoutines::categoryAndKindTexts()
{
    const QStringList names{"\"czynsze\"", "\"czynsze - odsetki\"", "\"woda\"", "\"woda - odsetki\"", "\"odpady\""};
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(CategoryName(i), names[i]);
    QCOMPARE(CategoryName(-1), QString());
    QCOMPARE(CategoryName(5), QString());

    QCOMPARE(DocumentKindText(1), QStringLiteral("naliczenie opłaty"));
    QCOMPARE(DocumentKindText(3), QStringLiteral("wpłata bankowa"));
    QCOMPARE(DocumentKindText(4), QStringLiteral("wpłata kasa"));
    QCOMPARE(DocumentKindText(5), QStringLiteral("wpłata MOPS"));
    for (int kind : {0, 2, 6, 99, -1})
        QCOMPARE(DocumentKindText(kind), QStringLiteral("przeksięgowanie"));
}

void tst_SessionRoutines::copyToMonthSlots_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << 0;
    QTest::newRow("10 values") << 10;
    QTest::newRow("13 values") << 13;
    QTest::newRow("15 values") << 15;
}

void tst_SessionRoutines::copyToMonthSlots()
{
    QFETCH(int, count);
    TDoubleDynArray values;
    for (int i = 0; i < count; ++i)
        values << i + 1.5;
    TMonthSlots slots;
    slots.fill(-7.0); // what a previous year left
    CopyToMonthSlots(values, slots);
    for (int slot = 0; slot < 13; ++slot)
        QCOMPARE(slots[slot], slot < count ? slot + 1.5 : 0.0);
}

void tst_SessionRoutines::serviceUrl()
{
    const QString path = QStringLiteral("/cgi-bin/ZOKA_Webservice_Server.exe/soap/IZOKA_E_BOK");
    SetServerAddressArgument({});
    QCOMPARE(ServerAddress(), QStringLiteral(DOMVEL_DEFAULT_SERVER));
    QCOMPARE(ServiceURL(), QStringLiteral("https://" DOMVEL_DEFAULT_SERVER) + path);

    SetServerAddressArgument(QStringLiteral("ebok.example.pl:9443"));
    QCOMPARE(ServerAddress(), QStringLiteral("ebok.example.pl:9443"));
    QCOMPARE(ServiceURL(), QStringLiteral("https://ebok.example.pl:9443") + path);
    SetServerAddressArgument({});
}

QTEST_GUILESS_MAIN(tst_SessionRoutines)
#include "tst_session_routines.moc"
