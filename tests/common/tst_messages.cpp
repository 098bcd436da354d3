#include "testing/MessageRecorder.h"

#include "common/Cursors.h"
#include "common/Errors.h"
#include "common/Messages.h"
#include "common/TLocale_Class.h"

#include <QCursor>
#include <QGuiApplication>
#include <QTest>

Q_DECLARE_METATYPE(MessageButton)

class tst_Messages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void confirmation_data();
    void confirmation();
    void fixedNotices();
    void errorDisplay_data();
    void errorDisplay();
    void nestedCursors();
    void cursorRestoredOnError();
    void monthNames_data();
    void monthNames();
    void localeIsACopy();
};

void tst_Messages::confirmation_data()
{
    QTest::addColumn<bool>("withCancel");
    QTest::addColumn<QList<MessageButton>>("answers"); // empty: the default button (Enter)
    QTest::addColumn<bool>("result");
    QTest::addColumn<bool>("aborts");
    QTest::newRow("Yes/No: Enter answers No") << false << QList<MessageButton>{} << false << false;
    QTest::newRow("Yes/No: Yes") << false << QList<MessageButton>{MessageButton::Yes} << true << false;
    QTest::newRow("Yes/No: No") << false << QList<MessageButton>{MessageButton::No} << false << false;
    QTest::newRow("Yes/No/Cancel: Enter aborts") << true << QList<MessageButton>{} << false << true;
    QTest::newRow("Yes/No/Cancel: Yes") << true << QList<MessageButton>{MessageButton::Yes} << true << false;
    QTest::newRow("Yes/No/Cancel: No") << true << QList<MessageButton>{MessageButton::No} << false << false;
    QTest::newRow("Yes/No/Cancel: Cancel aborts")
        << true << QList<MessageButton>{MessageButton::Cancel} << false << true;
}

void tst_Messages::confirmation()
{
    QFETCH(bool, withCancel);
    QFETCH(QList<MessageButton>, answers);
    QFETCH(bool, result);
    QFETCH(bool, aborts);

    MessageRecorder recorder;
    recorder.answers = answers;
    bool answer = !result;
    bool aborted = false;
    try {
        answer = AskConfirmation(QStringLiteral("Czy rzeczywiście chcesz zakończyć program?"), nullptr, withCancel);
    } catch (const SilentAbort &) {
        aborted = true;
    }
    QCOMPARE(aborted, aborts);
    if (!aborts)
        QCOMPARE(answer, result);

    QCOMPARE(recorder.messages.size(), 1);
    const MessageRequest &box = recorder.messages.first();
    QCOMPARE(box.caption, QStringLiteral("Potwierdzenie"));
    QCOMPARE(box.icon, MessageIcon::Question);
    QCOMPARE(box.text, QStringLiteral("Czy rzeczywiście chcesz zakończyć program?"));
    const QList<MessageButton> expectedButtons = withCancel
        ? QList<MessageButton>{MessageButton::Yes, MessageButton::No, MessageButton::Cancel}
        : QList<MessageButton>{MessageButton::Yes, MessageButton::No};
    QCOMPARE(box.buttons, expectedButtons);
    QCOMPARE(box.defaultButton, withCancel ? MessageButton::Cancel : MessageButton::No);
}

void tst_Messages::fixedNotices()
{
    MessageRecorder recorder;
    ShowAlreadyRunningMessage();
    ShowNoPrinterMessage();
    ShowInformationBox(QStringLiteral("info"));
    ShowErrorBox(QStringLiteral("błąd"), QStringLiteral("szczegóły"));
    QCOMPARE(recorder.messages.size(), 4);

    QCOMPARE(recorder.messages[0].text, QStringLiteral("Program może być uruchomiony tylko jeden raz!"));
    QCOMPARE(recorder.messages[0].icon, MessageIcon::None);
    QVERIFY2(recorder.messages[0].caption.isEmpty(), "the title is not set yet when the notice shows");
    QCOMPARE(recorder.messages[1].text,
             QStringLiteral("W systemie Windows nie zainstalowano żadnej drukarki.\n"
                            "Program nie może zostać uruchomiony."));
    QCOMPARE(recorder.messages[1].caption, QStringLiteral("Domvel-E-Vadiv"));
    QCOMPARE(recorder.messages[2].icon, MessageIcon::Information);
    QCOMPARE(recorder.messages[2].caption, QStringLiteral("Domvel-E-Vadiv"));
    QCOMPARE(recorder.messages[3].icon, MessageIcon::Error);
    QCOMPARE(recorder.messages[3].detail, QStringLiteral("szczegóły"));
    for (const MessageRequest &m : recorder.messages)
        QCOMPARE(m.buttons, QList<MessageButton>{MessageButton::Ok});
}

void tst_Messages::errorDisplay_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("program error") << 0 << QStringList{QStringLiteral("Wykryto próbę włamania do systemu.")};
    QTest::newRow("silent abort") << 1 << QStringList{};
    QTest::newRow("index error") << 2
                                 << QStringList{QStringLiteral("Indeks 5 poza zakresem listy (liczba elementów: 4).")};
    QTest::newRow("foreign object: empty message") << 3 << QStringList{QString()};
}

void tst_Messages::errorDisplay()
{
    QFETCH(int, kind);
    QFETCH(QStringList, shown);
    MessageRecorder recorder;
    try {
        switch (kind) {
        case 0: throw AppError(QStringLiteral("Wykryto próbę włamania do systemu."));
        case 1: throw SilentAbort();
        case 2: (void)CheckedAt(QList<int>{1, 2, 3, 4}, 5); break;
        default: throw 42;
        }
        QFAIL("nothing was thrown");
    } catch (...) {
        ShowErrorDisplay(std::current_exception());
    }
    QCOMPARE(recorder.texts(), shown);
    for (const MessageRequest &m : recorder.messages)
        QCOMPARE(m.icon, MessageIcon::Error);
}

void tst_Messages::nestedCursors()
{
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    {
        const TChangeCursor cross(Qt::CrossCursor);
        {
            const TWaitCursor outer;
            {
                const TWaitCursor inner;
                QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
            }
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    }
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void tst_Messages::cursorRestoredOnError()
{
    try {
        const TWaitCursor wait;
        throw AppError(QStringLiteral("x"));
    } catch (const AppError &) {
    }
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void tst_Messages::monthNames_data()
{
    QTest::addColumn<int>("month");
    QTest::addColumn<QString>("name");
    const QStringList names{u"styczeń"_qs,  u"luty"_qs,        u"marzec"_qs,   u"kwiecień"_qs,
                            u"maj"_qs,      u"czerwiec"_qs,    u"lipiec"_qs,   u"sierpień"_qs,
                            u"wrzesień"_qs, u"październik"_qs, u"listopad"_qs, u"grudzień"_qs};
    for (int m = 1; m <= 12; ++m)
        QTest::addRow("%d", m) << m << names.at(m - 1);
    QTest::newRow("0") << 0 << QString();
    QTest::newRow("13") << 13 << QString();
}

void tst_Messages::monthNames()
{
    QFETCH(int, month);
    QFETCH(QString, name);
    // The test runs under LC_ALL=pl_PL.UTF-8: gLocale is the user's locale.
    QCOMPARE(gLocale.Locale().language(), QLocale::Polish);
    QCOMPARE(gLocale.LongMonthName(month), name);
    // The yearly table's month names, the same on a system of any language.
    QCOMPARE(TLocale_Class::Polish().LongMonthName(month), name);
}

void tst_Messages::localeIsACopy()
{
    const TLocale_Class german{QLocale(QLocale::German)};
    const QLocale before = QLocale();
    QLocale::setDefault(QLocale(QLocale::English));
    QCOMPARE(german.LongMonthName(3), QStringLiteral("März"));
    QCOMPARE(gLocale.LongMonthName(3), QStringLiteral("marzec"));
    QCOMPARE(TLocale_Class::Polish().LongMonthName(3), QStringLiteral("marzec"));
    QLocale::setDefault(before);
}

QTEST_MAIN(tst_Messages)
#include "tst_messages.moc"
