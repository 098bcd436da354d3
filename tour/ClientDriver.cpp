#include "tour/ClientDriver.h"

#include "account/CsvTable.h"
#include "app/TForm_ZOKA_WSClient_Main.h"
#include "app/dialogs/TForm_LoginWEB.h"
#include "app/dialogs/TForm_YearForShowChange.h"
#include "common/Clock.h"
#include "common/Errors.h"
#include "controls/TEditNew.h"
#include "controls/TWBitBtn.h"
#include "controls/TWSpeedButton.h"
#include "engine/PageStore.h"
#include "protocol/ServiceAddress.h"
#include "protocol/TrustedCertificates.h"
#include "reports/TPrn_Preview.h"
#include "service/ApplicationTerminate.h"
#include "testing/ModalDialogs.h"
#include "testing/UserInput.h"
#include "views/SpreadsheetExport.h"
#include "views/TForm_KartMca.h"
#include "views/TForm_NalCzynszDtl.h"
#include "views/TForm_YearChart.h"
#include "views/TFrame_InfoDokTabela.h"
#include "views/TFrame_InfoRozrTabela.h"
#include "views/TFrame_InfoRozrZasob.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {

// The preview reads only a store whose report has finished.
bool PreviewShowsFinishedPages(const TPrn_Preview *preview)
{
    if (!preview || !preview->isVisible())
        return false;
    const std::shared_ptr<PageStore> &pages = preview->ShownPages();
    return pages && pages->isFinished() && pages->pageCount() > 0;
}

} // namespace

ClientDriver::ClientDriver() = default;

ClientDriver::~ClientDriver()
{
    if (m_preview && m_preview->isVisible())
        ClosePreview();
    SetTerminateHandler({});
    SetPrn_Preview(nullptr);
    m_preview.reset();
    m_mainWindow.reset();
}

bool ClientDriver::Fail(const QString &reason)
{
    m_lastError = reason;
    return false;
}

QString ClientDriver::MessagesSince(qsizetype count) const
{
    const QStringList texts = m_messages.texts().mid(count);
    // One line: the messages' own line breaks become spaces.
    return texts.isEmpty() ? QString() : u" (komunikaty: "_s + texts.join(u" | "_s).simplified() + u')';
}

bool ClientDriver::Start(const QString &address, const QString &caCertificate)
{
    if (!caCertificate.isEmpty()) {
        try {
            TrustedCertificates::AddFromFile(caCertificate);
        } catch (const AppError &problem) {
            return Fail(problem.message());
        }
    }
    SetServerAddressArgument(address);
    // The program asks to end when the version is refused or the first login
    // fails; the driver notes it instead of ending the process.
    SetTerminateHandler([this] { m_terminateRequested = true; });
    m_mainWindow = std::make_unique<TForm_ZOKA_WSClient_Main>(m_account);
    m_preview = std::make_unique<TPrn_Preview>();
    SetPrn_Preview(m_preview.get());
    return true;
}

TFrame_InfoRozrZasob *ClientDriver::Settlements() const
{
    return m_mainWindow ? m_mainWindow->Frame_InfoRozrZasob1() : nullptr;
}

TFrame_InfoRozrTabela *ClientDriver::CurrentTable() const
{
    return Settlements() ? Settlements()->CurrentTable() : nullptr;
}

bool ClientDriver::WithModal(const std::function<void()> &trigger, const std::function<bool(QWidget *)> &matches,
                             const std::function<void(QWidget *)> &inside)
{
    bool shown = false;
    QObject context; // ends the polling and a pending inside with this call
    ModalWatchOptions options;
    options.waitUntilActive = false;
    options.timeoutMs = kTimeoutMs;
    WatchModals(
        &context, matches,
        [&](QWidget *modal, int) {
            shown = true;
            const QPointer<QWidget> window(modal);
            inside(window);
            if (window && window->isVisible())
                window->close();
        },
        options);
    trigger();
    return shown;
}

bool ClientDriver::LogIn(const QString &login, const QString &password,
                         const std::function<void(TForm_LoginWEB &)> &beforeOk)
{
    if (!m_mainWindow)
        return Fail(u"Program nie został uruchomiony."_s);
    const qsizetype before = m_messages.messages.size();
    bool dialogDone = false;
    bool settled = false;
    const bool shown = WithModal(
        [&] {
            // Without a window manager nobody activates the window; its first
            // activation starts the version check and the login.
            m_mainWindow->show();
            m_mainWindow->activateWindow();
            settled = WaitFor(
                [&] {
                    return (dialogDone || m_terminateRequested || m_account.Session.State == ssActive)
                        && !QApplication::activeModalWidget();
                },
                kTimeoutMs);
        },
        [](QWidget *w) { return qobject_cast<TForm_LoginWEB *>(w) != nullptr; },
        [&](QWidget *w) {
            auto *dialog = static_cast<TForm_LoginWEB *>(w);
            TypeText(dialog->Ed_Login(), login);
            TypeText(dialog->Ed_Haslo(), password);
            if (beforeOk)
                beforeOk(*dialog);
            ClickWidget(dialog->BtnOK());
            dialogDone = true;
        });
    if (!shown)
        return Fail(u"Okno logowania nie pojawiło się."_s + MessagesSince(before));
    if (!settled)
        return Fail(u"Logowanie nie zakończyło się w czasie."_s + MessagesSince(before));
    if (m_account.Session.State != ssActive)
        return Fail(u"Logowanie nie powiodło się."_s + MessagesSince(before));
    if (!WaitFor([&] { return Settlements()->Year() != 0; }, kTimeoutMs))
        return Fail(u"Panel rozrachunków nie pokazał roku."_s);
    return true;
}

bool ClientDriver::ChangeYear(int year)
{
    const qsizetype before = m_messages.messages.size();
    auto *button = m_mainWindow->findChild<TWSpeedButton *>(u"SButton_Year"_s);
    if (!button)
        return Fail(u"Brak przycisku zmiany roku."_s);
    bool offered = false;
    const bool shown = WithModal([&] { ClickWidget(button); },
                                 [](QWidget *w) { return qobject_cast<TForm_YearForShowChange *>(w) != nullptr; },
                                 [&](QWidget *w) {
                                     QListWidget *list = static_cast<TForm_YearForShowChange *>(w)->ListBoxSelect();
                                     const QList<QListWidgetItem *> items
                                         = list->findItems(u" rok "_s + QString::number(year), Qt::MatchExactly);
                                     if (items.isEmpty())
                                         return; // closed by the driver: Cancel
                                     offered = true;
                                     list->setCurrentItem(items.first());
                                     PressKeyOn(list, Qt::Key_Return);
                                 });
    if (!shown)
        return Fail(u"Okno wyboru roku nie pojawiło się."_s + MessagesSince(before));
    if (!offered)
        return Fail(u"Rok %1 nie jest do wyboru."_s.arg(year));
    if (Settlements()->Year() != year)
        return Fail(u"Panel nie pokazuje roku %1."_s.arg(year) + MessagesSince(before));
    return true;
}

bool ClientDriver::OpenMonth(int month, const std::function<void(TForm_KartMca &)> &inCard)
{
    TFrame_InfoRozrTabela *table = CurrentTable();
    if (!table)
        return Fail(u"Brak tabeli rozrachunków."_s);
    // The month's name label: a click anywhere on the row counts.
    auto *row = table->findChild<QLabel *>(u"Lab_Opis_%1"_s.arg(month, 2, 10, QChar(u'0')));
    if (!row)
        return Fail(u"Brak wiersza miesiąca %1."_s.arg(month));
    const qsizetype before = m_messages.messages.size();
    const bool shown = WithModal([&] { DoubleClickAt(row, row->rect().center()); },
                                 [](QWidget *w) { return qobject_cast<TForm_KartMca *>(w) != nullptr; },
                                 [&](QWidget *w) {
                                     if (inCard)
                                         inCard(*static_cast<TForm_KartMca *>(w));
                                 });
    if (!shown)
        return Fail(u"Kartoteka miesiąca %1 nie otworzyła się."_s.arg(month) + MessagesSince(before));
    return true;
}

int ClientDriver::FirstChargeRow(const TForm_KartMca &card) const
{
    // The card shows the month ledger store's entries in order.
    const QTableWidget *grid = card.Frame_InfoDokTabela1()->SG_Dok();
    for (int r = 0; r < grid->rowCount() && r < m_account.KsgData.KsgTypDok.size(); ++r) {
        if (m_account.KsgData.KsgTypDok[r] == 1)
            return r;
    }
    return -1;
}

bool ClientDriver::OpenCharge(TForm_KartMca &card, int row, const std::function<void(TForm_NalCzynszDtl &)> &inDetail)
{
    QTableWidget *grid = card.Frame_InfoDokTabela1()->SG_Dok();
    if (row < 0 || row >= grid->rowCount())
        return Fail(u"Brak dokumentu w wierszu %1."_s.arg(row + 1));
    const qsizetype before = m_messages.messages.size();
    const bool shown = WithModal(
        [&] {
            grid->setFocus(Qt::OtherFocusReason);
            grid->setCurrentCell(row, 0);
            PressKeyOn(grid, Qt::Key_Return);
        },
        [](QWidget *w) { return qobject_cast<TForm_NalCzynszDtl *>(w) != nullptr; },
        [&](QWidget *w) {
            if (inDetail)
                inDetail(*static_cast<TForm_NalCzynszDtl *>(w));
        });
    if (!shown)
        return Fail(u"Szczegóły dokumentu z wiersza %1 nie otworzyły się."_s.arg(row + 1) + MessagesSince(before));
    return true;
}

bool ClientDriver::OpenChart(const std::function<void(TForm_YearChart &)> &inChart)
{
    auto *button = Settlements() ? Settlements()->findChild<TWSpeedButton *>(u"ButtonChart"_s) : nullptr;
    if (!button)
        return Fail(u"Brak przycisku wykresu."_s);
    const qsizetype before = m_messages.messages.size();
    const bool shown = WithModal([&] { ClickWidget(button); },
                                 [](QWidget *w) { return qobject_cast<TForm_YearChart *>(w) != nullptr; },
                                 [&](QWidget *w) {
                                     if (inChart)
                                         inChart(*static_cast<TForm_YearChart *>(w));
                                 });
    if (!shown)
        return Fail(u"Wykres nie otworzył się."_s + MessagesSince(before));
    return true;
}

bool ClientDriver::ExportCsv(QWidget &view, const QString &fileName)
{
    auto *button = view.findChild<TWSpeedButton *>(u"ButtonCsv"_s);
    if (!button)
        return Fail(u"Brak przycisku CSV."_s);
    const qsizetype before = m_messages.messages.size();
    SetSpreadsheetFileChooser([fileName](QWidget *, const QString &) { return fileName; });
    ClickWidget(button);
    SetSpreadsheetFileChooser({});
    QFile file(fileName);
    if (m_messages.messages.size() != before || !file.open(QIODevice::ReadOnly) || !CsvTable::FromBytes(file.readAll()))
        return Fail(u"Nie zapisano pliku %1."_s.arg(fileName) + MessagesSince(before));
    return true;
}

bool ClientDriver::AdvanceSessionClock(qint64 seconds)
{
    if (!m_mainWindow)
        return Fail(u"Program nie został uruchomiony."_s);
    SetMonotonicClock({});
    if (seconds != 0) {
        // The system's monotonic clock, ahead by `seconds`.
        const qint64 ahead = MonotonicMs() + seconds * 1000;
        auto since = std::make_shared<QElapsedTimer>();
        since->start();
        SetMonotonicClock([ahead, since] { return ahead + since->elapsed(); });
    }
    m_mainWindow->UpdateSessionTime();
    return true;
}

bool ClientDriver::PressPreview(QWidget &view)
{
    auto *button = view.findChild<TWSpeedButton *>(u"ButtonPreview"_s);
    if (!button)
        return Fail(u"Brak przycisku podglądu wydruku."_s);
    const qsizetype before = m_messages.messages.size();
    ClickWidget(button);
    if (!WaitFor([&] { return PreviewShowsFinishedPages(m_preview.get()); }, kTimeoutMs))
        return Fail(u"Podgląd wydruku nie pokazał stron."_s + MessagesSince(before));
    // The preview shows itself maximized; without a window manager (Xvfb)
    // nobody does it, so give it the screen as one would.
    if (const QScreen *screen = m_preview->screen(); screen && m_preview->geometry() != screen->availableGeometry())
        m_preview->setGeometry(screen->availableGeometry());
    return true;
}

bool ClientDriver::PressPrint(QWidget &view)
{
    auto *button = view.findChild<TWSpeedButton *>(u"ButtonPrint"_s);
    if (!button)
        return Fail(u"Brak przycisku wydruku."_s);
    const qsizetype before = m_messages.messages.size();
    ClickWidget(button);
    if (m_messages.messages.size() != before)
        return Fail(u"Wydruk nie powiódł się."_s + MessagesSince(before));
    return true;
}

bool ClientDriver::SaveFromPreview(const QString &fileName)
{
    if (!PreviewShowsFinishedPages(m_preview.get()))
        return Fail(u"Podgląd wydruku nie jest otwarty."_s);
    auto *button = m_preview->findChild<TWSpeedButton *>(u"But_Save"_s);
    if (!button)
        return Fail(u"Brak przycisku zapisu w podglądzie."_s);
    const qsizetype before = m_messages.messages.size();
    m_preview->SetFileNameChooser([fileName](QWidget *, TPrn_Preview::FileDialogKind) { return fileName; });
    ClickWidget(button);
    m_preview->SetFileNameChooser({});
    if (m_messages.messages.size() != before || !QFileInfo(fileName).isFile() || QFileInfo(fileName).size() == 0)
        return Fail(u"Nie zapisano pliku %1."_s.arg(fileName) + MessagesSince(before));
    return true;
}

bool ClientDriver::LoadIntoPreview(const QString &fileName)
{
    if (!m_preview || !m_preview->isVisible())
        return Fail(u"Podgląd wydruku nie jest otwarty."_s);
    auto *button = m_preview->findChild<TWSpeedButton *>(u"But_Load"_s);
    if (!button)
        return Fail(u"Brak przycisku wczytania w podglądzie."_s);
    const qsizetype before = m_messages.messages.size();
    m_preview->SetFileNameChooser([fileName](QWidget *, TPrn_Preview::FileDialogKind) { return fileName; });
    ClickWidget(button);
    m_preview->SetFileNameChooser({});
    if (m_messages.messages.size() != before || !PreviewShowsFinishedPages(m_preview.get()))
        return Fail(u"Nie wczytano pliku %1."_s.arg(fileName) + MessagesSince(before));
    return true;
}

bool ClientDriver::ClosePreview()
{
    if (!m_preview || !m_preview->isVisible())
        return true;
    if (auto *button = m_preview->findChild<TWBitBtn *>(u"ButtonClose"_s))
        ClickWidget(button);
    else
        m_preview->close();
    if (!WaitFor([&] { return !m_preview->isVisible(); }, kTimeoutMs))
        return Fail(u"Podgląd wydruku się nie zamknął."_s);
    return true;
}

bool ClientDriver::Screenshot(QWidget &window, const QString &fileName)
{
    QCoreApplication::processEvents();
    if (!window.grab().save(fileName, "PNG"))
        return Fail(u"Nie można zapisać %1."_s.arg(fileName));
    return true;
}
