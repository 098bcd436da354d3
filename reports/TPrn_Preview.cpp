#include "reports/TPrn_Preview.h"

#include "common/Cursors.h"
#include "common/Errors.h"
#include "common/Messages.h"
#include "controls/TWBitBtn.h"
#include "controls/TWSpeedButton.h"
#include "engine/PageExport.h"
#include "engine/PageStore.h"
#include "engine/PrintFile.h"
#include "engine_widgets/ReportPreviewControl.h"
#include "engine_widgets/ReportPrinter.h"
#include "reports/ReportErrorText.h"
#include "reports/TPrn_Gen.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

QPointer<TPrn_Preview> gPreview;
std::function<TPrn_Preview *()> gPreviewSource;

// Rows of the arrow keys' scrolling, in the preview control's scroll steps.
constexpr int kArrowScrollUnits = 10;

TWSpeedButton *MakeSpeedButton(const QString &name, const QString &glyph, const QString &hint, QWidget *parent)
{
    auto *button = new TWSpeedButton(parent);
    button->setObjectName(name);
    button->SetGlyph(glyph);
    button->setToolTip(hint);
    button->setIconSize(QSize(24, 24));
    return button;
}

// A spinner whose own field is a display: the arrows step it, typing does not.
// It never takes the focus, so the window's keys stay with the page view.
QSpinBox *MakeDisplaySpinner(const QString &name, int minimum, int maximum, int step, int width, QWidget *parent)
{
    auto *spinner = new QSpinBox(parent);
    spinner->setObjectName(name);
    spinner->setRange(minimum, maximum);
    spinner->setSingleStep(step);
    spinner->setFocusPolicy(Qt::NoFocus);
    spinner->setAlignment(Qt::AlignRight);
    spinner->setFixedWidth(width);
    if (auto *field = spinner->findChild<QLineEdit *>()) {
        field->setReadOnly(true);
        field->setFocusPolicy(Qt::NoFocus);
    }
    return spinner;
}

QLabel *MakeLabel(const QString &name, const QString &caption, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

TPrn_Preview::TPrn_Preview(QWidget *parent)
    : TForm_Gen_Ex(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      LoadedPages(std::make_shared<PageStore>()),
      m_chooseFile(&TPrn_Preview::ChooseFileWithDialog)
{
    setObjectName(u"Prn_Preview"_s);
    setWindowTitle(u"Podgląd wydruku"_s);
    setSizeGripEnabled(false);

    Panel_Toolbar = new QWidget(this);
    Panel_Toolbar->setObjectName(u"Panel_Toolbar"_s);
    Panel_Toolbar->setFixedHeight(41);
    auto *toolbar = new QHBoxLayout(Panel_Toolbar);
    toolbar->setContentsMargins(6, 2, 6, 2);
    toolbar->setSpacing(2);

    But_Zoom_Fit
        = MakeSpeedButton(u"But_Zoom_Fit"_s, u"BUT_ZOOM_FIT"_s, u"Zoom dostosuj do długości strony"_s, Panel_Toolbar);
    But_Zoom_Page = MakeSpeedButton(u"But_Zoom_Page"_s, u"BUT_ZOOM_PAGE"_s, u"Zoom dostosuj do szerokości strony"_s,
                                    Panel_Toolbar);
    But_Zoom_100 = MakeSpeedButton(u"But_Zoom_100"_s, u"BUT_ZOOM_100"_s, u"Zoom 100%"_s, Panel_Toolbar);
    Lab_Zoom = MakeLabel(u"Lab_Zoom"_s, u"Zoom:"_s, Panel_Toolbar);
    UpDown_Zoom = MakeDisplaySpinner(u"UpDown_Zoom"_s, ReportPreviewControl::MinZoom, ReportPreviewControl::MaxZoom, 10,
                                     64, Panel_Toolbar);
    UpDown_Zoom->setToolTip(u"Zwiększenie/Zmniejszenie podglądu wydruku"_s);
    UpDown_Zoom->setValue(100);

    But_Page_First = MakeSpeedButton(u"But_Page_First"_s, u"BUT_PAGE_FIRST"_s, u"Pierwsza strona"_s, Panel_Toolbar);
    But_Page_Last = MakeSpeedButton(u"But_Page_Last"_s, u"BUT_PAGE_LAST"_s, u"Ostatnia strona"_s, Panel_Toolbar);
    Lab_Seite = MakeLabel(u"Lab_Seite"_s, u"Strona:"_s, Panel_Toolbar);
    UpDown_Seite = MakeDisplaySpinner(u"UpDown_Seite"_s, 1, 1, 1, 110, Panel_Toolbar);

    ButtonPrint = MakeSpeedButton(u"ButtonPrint"_s, u"BUT_PRINT"_s, u"Wydruk na drukarce"_s, Panel_Toolbar);
    But_Load = MakeSpeedButton(u"But_Load"_s, u"BUT_LOAD"_s, u"Wczytanie wydruku z dysku"_s, Panel_Toolbar);
    But_Save = MakeSpeedButton(u"But_Save"_s, u"BUT_SAVE"_s, u"Zapamiętanie wydruku na dysku"_s, Panel_Toolbar);
    ButtonHelp = MakeSpeedButton(u"ButtonHelp"_s, u"BUT_HELP"_s, u"Pomoc"_s, Panel_Toolbar);
    ButtonClose = new TWBitBtn(u"Za&mknij"_s, Panel_Toolbar);
    ButtonClose->setObjectName(u"ButtonClose"_s);
    ButtonClose->SetGlyph(u"BUT_CLOSE"_s);
    ButtonClose->setToolTip(u"Zamknięcie podglądu wydruku"_s);

    toolbar->addWidget(But_Zoom_Fit);
    toolbar->addWidget(But_Zoom_Page);
    toolbar->addWidget(But_Zoom_100);
    toolbar->addSpacing(8);
    toolbar->addWidget(Lab_Zoom);
    toolbar->addWidget(UpDown_Zoom);
    toolbar->addSpacing(16);
    toolbar->addWidget(But_Page_First);
    toolbar->addWidget(But_Page_Last);
    toolbar->addSpacing(8);
    toolbar->addWidget(Lab_Seite);
    toolbar->addWidget(UpDown_Seite);
    toolbar->addStretch(1);
    toolbar->addWidget(ButtonPrint);
    toolbar->addWidget(But_Load);
    toolbar->addWidget(But_Save);
    toolbar->addWidget(ButtonHelp);
    toolbar->addSpacing(8);
    toolbar->addWidget(ButtonClose);

    Preview = new ReportPreviewControl(this);
    Preview->setFocusPolicy(Qt::StrongFocus);

    Panel_Progress = new QWidget(this);
    Panel_Progress->setObjectName(u"Panel_Progress"_s);
    Panel_Progress->setFixedHeight(32);
    auto *progress = new QHBoxLayout(Panel_Progress);
    progress->setContentsMargins(6, 4, 6, 4);
    ProgressBar = new QProgressBar(Panel_Progress);
    ProgressBar->setObjectName(u"ProgressBar"_s);
    ProgressBar->setFixedWidth(355);
    ProgressBar->setRange(0, 100);
    progress->addWidget(ProgressBar);
    progress->addStretch(1);
    Panel_Progress->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel_Toolbar);
    layout->addWidget(Preview, 1);
    layout->addWidget(Panel_Progress);

    connect(But_Zoom_Fit, &TWSpeedButton::OnClick, this, &TPrn_Preview::But_Zoom_FitClick);
    connect(But_Zoom_Page, &TWSpeedButton::OnClick, this, &TPrn_Preview::But_Zoom_PageClick);
    connect(But_Zoom_100, &TWSpeedButton::OnClick, this, &TPrn_Preview::But_Zoom_100Click);
    connect(UpDown_Zoom, &QSpinBox::valueChanged, this, &TPrn_Preview::UpDown_ZoomClick);
    connect(But_Page_First, &TWSpeedButton::OnClick, this, &TPrn_Preview::But_Page_FirstClick);
    connect(But_Page_Last, &TWSpeedButton::OnClick, this, &TPrn_Preview::But_Page_LastClick);
    connect(UpDown_Seite, &QSpinBox::valueChanged, this, &TPrn_Preview::PageDisplay);
    connect(ButtonPrint, &TWSpeedButton::OnClick, this, &TPrn_Preview::ButtonPrintClick);
    connect(But_Load, &TWSpeedButton::OnClick, this, &TPrn_Preview::But_LoadClick);
    connect(But_Save, &TWSpeedButton::OnClick, this, &TPrn_Preview::But_SaveClick);
    connect(ButtonHelp, &TWSpeedButton::OnClick, this, &TPrn_Preview::ButtonHelpClick);
    connect(ButtonClose, &TWBitBtn::OnClick, this, &TPrn_Preview::ButtonCloseClick);
    connect(Preview, &ReportPreviewControl::pageAvailable, this, &TPrn_Preview::PreviewPageAvailable);
    connect(Preview, &ReportPreviewControl::progressChanged, this, &TPrn_Preview::PreviewProgressUpdate);

    AssignFunctionKey(0, ButtonHelp);
    AssignFunctionKey(9, ButtonClose);
    SetCancelButton(ButtonClose);

    Preview->setPageStore(nullptr);
    setWindowState(Qt::WindowMaximized);
}

TPrn_Preview::~TPrn_Preview()
{
    // The shown report may still be generating into its store.
    SetShownPages(nullptr);
}

const std::shared_ptr<PageStore> &TPrn_Preview::ShownPages() const
{
    return Preview->pageStore();
}

void TPrn_Preview::SetFileNameChooser(FileNameChooser chooser)
{
    m_chooseFile = chooser ? std::move(chooser) : FileNameChooser(&TPrn_Preview::ChooseFileWithDialog);
}

void TPrn_Preview::ShowPageStore(std::shared_ptr<PageStore> pages)
{
    // Shown from a modal window, the preview must take input while that window
    // waits: it becomes modal itself for as long as it is shown.
    const Qt::WindowModality modality = QApplication::activeModalWidget() && QApplication::activeModalWidget() != this
        ? Qt::ApplicationModal
        : Qt::NonModal;
    if (isVisible() && windowModality() != modality)
        QWidget::hide(); // not a close: the window goes on showing pages
    SetShownPages(pages);
    if (isVisible()) {
        Reset();
        raise();
        activateWindow();
        return;
    }
    setWindowModality(modality);
    showMaximized();
    raise();
    activateWindow();
}

void TPrn_Preview::SetShownPages(const std::shared_ptr<PageStore> &pages)
{
    const std::shared_ptr<PageStore> previous = Preview->pageStore();
    // A report whose pages nobody shows any more need not go on.
    if (previous && previous != pages && !previous->isFinished())
        previous->cancel();
    Panel_Progress->hide();
    Preview->setPageStore(pages);
    if (pages && !pages->isFinished())
        PreviewProgressUpdate(0);
}

void TPrn_Preview::showEvent(QShowEvent *event)
{
    TForm_Gen_Ex::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TPrn_Preview::closeEvent(QCloseEvent *event)
{
    // The window has no close box; the window system's close (Alt+F4 among
    // them) is ignored. Escape and "Zamknij" close it.
    if (event->spontaneous()) {
        event->ignore();
        return;
    }
    FormClose();
    TForm_Gen_Ex::closeEvent(event);
}

void TPrn_Preview::FormShow()
{
    // Zooming to the page width needs the window's final layout.
    if (layout())
        layout()->activate();
    Reset();
    QWidget *active = QApplication::activeWindow();
    ReturnFocusForm = active != this ? active : nullptr;
    Preview->setFocus(Qt::OtherFocusReason);
}

void TPrn_Preview::FormClose()
{
    if (const std::shared_ptr<PageStore> pages = Preview->pageStore()) {
        pages->cancel();
        pages->clear();
        SetShownPages(nullptr);
    }
    Panel_Progress->hide();
    ShowArrowCursor();
    if (ReturnFocusForm && ReturnFocusForm != this)
        ReturnFocusForm->activateWindow();
}

void TPrn_Preview::PageDisplay()
{
    const int position = UpDown_Seite->value();
    if (position > 0)
        Preview->setPageNumber(position);
    UpDown_Seite->setSuffix(u"/%1"_s.arg(UpDown_Seite->maximum()));
}

void TPrn_Preview::NavigationUpdate()
{
    const int count = Preview->pageCount();
    {
        const QSignalBlocker blocker(UpDown_Seite);
        UpDown_Seite->setRange(count > 0 ? 1 : 0, count);
    }
    But_Page_First->setEnabled(count > 1);
    But_Page_Last->setEnabled(count > 1);
    PageDisplay();
}

void TPrn_Preview::ZoomDisplay()
{
    const QSignalBlocker blocker(UpDown_Zoom);
    UpDown_Zoom->setValue(Preview->zoom());
}

void TPrn_Preview::Reset()
{
    NavigationUpdate();
    {
        const QSignalBlocker blocker(UpDown_Seite);
        UpDown_Seite->setValue(UpDown_Seite->minimum());
    }
    PageDisplay();
    if (UpDown_Seite->minimum() > 0) {
        But_Zoom_PageClick();
    } else {
        Preview->setZoom(100);
        ZoomDisplay();
    }
}

void TPrn_Preview::PreviewPageAvailable()
{
    const int noted = UpDown_Seite->value();
    NavigationUpdate();
    if (noted == 0 && UpDown_Seite->minimum() > 0) {
        {
            const QSignalBlocker blocker(UpDown_Seite);
            UpDown_Seite->setValue(1);
        }
        PageDisplay();
        ZoomDisplay();
    }
    const std::shared_ptr<PageStore> &pages = Preview->pageStore();
    if (pages && pages->isFinished() && isVisible())
        ShowArrowCursor();
}

void TPrn_Preview::PreviewProgressUpdate(int percent)
{
    if (Panel_Progress->isHidden())
        Panel_Progress->show();
    ProgressBar->setValue(percent);
    if (percent >= 100)
        Panel_Progress->hide();
}

void TPrn_Preview::But_Zoom_FitClick()
{
    Preview->zoomToFit();
    ZoomDisplay();
}

void TPrn_Preview::But_Zoom_PageClick()
{
    Preview->zoomToWidth();
    ZoomDisplay();
}

void TPrn_Preview::But_Zoom_100Click()
{
    Preview->setZoom(100);
    ZoomDisplay();
}

void TPrn_Preview::UpDown_ZoomClick(int position)
{
    Preview->setZoom(position);
    ZoomDisplay();
}

void TPrn_Preview::But_Page_FirstClick()
{
    UpDown_Seite->setValue(UpDown_Seite->minimum());
    PageDisplay();
}

void TPrn_Preview::But_Page_LastClick()
{
    UpDown_Seite->setValue(UpDown_Seite->maximum());
    PageDisplay();
}

void TPrn_Preview::ButtonPrintClick()
{
    const std::shared_ptr<PageStore> pages = Preview->pageStore();
    // Half a report is not printed while the rest is still being generated.
    if (!pages || !pages->isFinished())
        return;
    const std::optional<ReportPrinterSettings> printer = TPrn_Gen::SelectedPrinter();
    if (!printer) {
        ShowNoPrinterMessage();
        return;
    }
    ReportPrinterSettings settings = pages->printerSettings();
    settings.printerName = printer->printerName;
    settings.outputFileName = printer->outputFileName;
    const TWaitCursor wait;
    WithReportErrorsWorded([&] { ReportPrinter::print(*pages, settings); });
}

void TPrn_Preview::But_SaveClick()
{
    const std::shared_ptr<PageStore> pages = Preview->pageStore();
    if (!pages || !pages->isFinished())
        return;
    const QString fileName = m_chooseFile(this, FileDialogKind::Save);
    if (fileName.isEmpty())
        return;
    const TChangeCursor hourglass(Qt::WaitCursor);
    WithReportErrorsWorded([&] { SaveShownPages(fileName); });
}

void TPrn_Preview::SaveShownPages(const QString &fileName)
{
    if (QFileInfo(fileName).suffix().toUpper() == u"CSV"_s) {
        if (!m_spreadsheet)
            throw AppError(u"Wczytany wydruk nie zawiera tabeli dla arkusza kalkulacyjnego.\n"
                           "Tabelę można zapisać z podglądu otwartego z okna programu."_s);
        QString error;
        if (!m_spreadsheet->Save(fileName, &error))
            throw AppError(u"Nie udało się zapisać pliku %1.\n%2"_s.arg(fileName, error));
        return;
    }
    PageExport::saveAs(*Preview->pageStore(), fileName, ApplicationTitle());
}

void TPrn_Preview::But_LoadClick()
{
    const QString fileName = m_chooseFile(this, FileDialogKind::Load);
    if (fileName.isEmpty())
        return;
    {
        const TChangeCursor hourglass(Qt::WaitCursor);
        try {
            ButtonClose->setFocus(Qt::OtherFocusReason);
            LoadedPages->clear();
            PrintFile::load(*LoadedPages, fileName);
            SetShownPages(LoadedPages);
            m_spreadsheet.reset();
        } catch (...) {
            close();
            ShowInformationBox(u"Plik nie zawiera zapamiętanego wydruku albo jest uszkodzony"_s);
            std::rethrow_exception(WordedReportError(std::current_exception()));
        }
    }
    Reset();
}

void TPrn_Preview::ButtonHelpClick()
{
    MessageRequest request;
    request.caption = u"Pomoc"_s;
    request.text = HelpText();
    request.icon = MessageIcon::Information;
    request.owner = this;
    ShowMessage(request);
}

void TPrn_Preview::ButtonCloseClick()
{
    close();
}

void TPrn_Preview::FormKeyDown(QWidget *sender, int &key, Qt::KeyboardModifiers shift)
{
    switch (key) {
    case Qt::Key_PageUp:
        if (UpDown_Seite->value() > UpDown_Seite->minimum())
            UpDown_Seite->setValue(UpDown_Seite->value() - 1);
        key = 0;
        return;
    case Qt::Key_PageDown:
        if (UpDown_Seite->value() < UpDown_Seite->maximum())
            UpDown_Seite->setValue(UpDown_Seite->value() + 1);
        key = 0;
        return;
    case Qt::Key_Home:
    case Qt::Key_End:
        if (shift & Qt::ControlModifier) {
            if (key == Qt::Key_Home)
                But_Page_FirstClick();
            else
                But_Page_LastClick();
            key = 0;
        }
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        // Scrolled once, when the key is released (FormKeyUp).
        key = 0;
        return;
    default: TForm_Gen_Ex::FormKeyDown(sender, key, shift);
    }
}

void TPrn_Preview::FormKeyUp(QWidget *, int &key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_Up) {
        if (!Preview->isAtTop())
            Preview->scrollVertically(-kArrowScrollUnits);
        key = 0;
    } else if (key == Qt::Key_Down) {
        if (!Preview->isAtBottom())
            Preview->scrollVertically(kArrowScrollUnits);
        key = 0;
    }
}

QString TPrn_Preview::ChooseFileWithDialog(QWidget *parent, FileDialogKind kind)
{
    QFileDialog dialog(parent);
    if (kind == FileDialogKind::Save) {
        dialog.setWindowTitle(u"Zapamiętanie wydruku na dysku"_s);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(u"prn"_s);
        dialog.setNameFilters({u"Plik wydruku (*.prn)"_s, u"Plik tekstowy (*.txt)"_s, u"plik PDF (*.pdf)"_s,
                               u"Dokument HTML (*.htm)"_s, u"Arkusz kalkulacyjny CSV (*.csv)"_s});
    } else {
        dialog.setWindowTitle(u"Wczytanie wydruku z dysku"_s);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters({u"Pliki wydruków (*.prn)"_s, u"Wszystkie pliki (*)"_s});
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

QString TPrn_Preview::HelpText()
{
    return u"Podgląd wydruku\n\n"
           "Page Up / Page Down – poprzednia / następna strona\n"
           "Ctrl+Home / Ctrl+End – pierwsza / ostatnia strona\n"
           "Strzałki w górę / w dół – przewijanie strony\n"
           "Esc – zamknięcie podglądu\n"
           "F1 – ta pomoc\n\n"
           "Przyciski: dopasowanie strony do wysokości okna, do szerokości okna, zoom 100%; "
           "pierwsza i ostatnia strona; wydruk na drukarce; wczytanie wydruku z dysku; "
           "zapamiętanie wydruku na dysku (rozszerzenie nazwy pliku wybiera rodzaj: "
           ".prn – plik wydruku, .txt – tekst, .pdf – PDF, .htm – dokument HTML, "
           ".csv – tabela dla arkusza kalkulacyjnego)."_s;
}

TPrn_Preview *Prn_Preview()
{
    if (!gPreview && gPreviewSource)
        gPreview = gPreviewSource();
    return gPreview;
}

void SetPrn_PreviewSource(std::function<TPrn_Preview *()> source)
{
    gPreviewSource = std::move(source);
}

void SetPrn_Preview(TPrn_Preview *preview)
{
    gPreview = preview;
}
