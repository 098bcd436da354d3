#include <QLocale>
#include <QTest>

#include <clocale>
#include <cstdio>

// The suite pins LC_ALL=pl_PL.UTF-8 so that it runs as a tenant's machine
// does. Where the locale was never generated, the C library silently stays in
// "C" and every locale fault would pass unseen: this test makes that red.
class tst_LocalePinned : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cLibraryHonoursThePinnedLocale();
    void toolkitIsPolish();
};

void tst_LocalePinned::cLibraryHonoursThePinnedLocale()
{
    QCOMPARE(qEnvironmentVariable("LC_ALL"), QStringLiteral("pl_PL.UTF-8"));
    // The application object has applied the environment's locale.
    const char *numeric = std::setlocale(LC_NUMERIC, nullptr);
    char formatted[16] = {};
    std::snprintf(formatted, sizeof formatted, "%.1f", 1.5);
    QVERIFY2(qstrcmp(formatted, "1,5") == 0,
             qPrintable(QStringLiteral("the C library does not honour LC_ALL=pl_PL.UTF-8: printf(\"%.1f\", 1.5) "
                                       "gave \"%1\" (LC_NUMERIC is \"%2\"). The locale is not generated on this "
                                       "machine: run bash scripts/setup.sh (it runs locale-gen), or locale-gen "
                                       "after enabling pl_PL.UTF-8 in /etc/locale.gen.")
                            .arg(QLatin1StringView(formatted), QLatin1StringView(numeric ? numeric : "?"))));
}

void tst_LocalePinned::toolkitIsPolish()
{
    QCOMPARE(QLocale().language(), QLocale::Polish);
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
}

QTEST_GUILESS_MAIN(tst_LocalePinned)
#include "tst_locale_pinned.moc"
