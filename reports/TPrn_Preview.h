#pragma once

#include "account/CsvTable.h"
#include "forms/TForm_Gen_Ex.h"

// TForm_Gen_Ex keeps guarded pointers to these; they must be complete here.
#include <QAbstractButton>
#include <QPushButton>

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class PageStore;
class QLabel;
class QProgressBar;
class QSpinBox;
class QWidget;
class ReportPreviewControl;
class TWBitBtn;
class TWSpeedButton;

// The preview window of the reports: created hidden at start-up, shown when a
// report hands it its pages, hidden again when closed. It follows a report
// while the report is still being generated, zooms, pages, prints, saves the
// pages as a print file or exports them (by the file name's extension: .txt,
// .htm, .pdf), and loads a print file saved earlier.
//
// Keys: Page Up/Down the previous/next page, Ctrl+Home/End the first/last
// page, Up/Down arrows scroll, Escape closes, F1 help; Alt+F4 and F10 do
// nothing. The page spinner's own field shows "page/pages" ("3/12"), the zoom
// spinner's the zoom in percent; neither takes typing.
class TPrn_Preview : public TForm_Gen_Ex
{
    Q_OBJECT

public:
    enum class FileDialogKind { Save, Load };
    // Asks the user for a file name; an empty name cancels. Replaceable so that
    // tests (and scripted runs) can give the name.
    using FileNameChooser = std::function<QString(QWidget *parent, FileDialogKind kind)>;

    explicit TPrn_Preview(QWidget *parent = nullptr);
    ~TPrn_Preview() override;

    // The hand-off from a report: shows the pages (also while they are being
    // generated) in place of whatever the window showed, and shows the window.
    void ShowPageStore(std::shared_ptr<PageStore> pages);

    // The table a save under a ".csv" name writes: the handing report's rows.
    // Pages loaded from a print file have none.
    void SetSpreadsheetTable(std::optional<CsvTable> table) { m_spreadsheet = std::move(table); }
    const std::optional<CsvTable> &SpreadsheetTable() const { return m_spreadsheet; }

    // The pages shown; null while the window is closed.
    const std::shared_ptr<PageStore> &ShownPages() const;
    ReportPreviewControl *PreviewControl() const { return Preview; }

    void SetFileNameChooser(FileNameChooser chooser);
    // The program's file dialogs, set up for saving or loading print files.
    static QString ChooseFileWithDialog(QWidget *parent, FileDialogKind kind);

    // The short help F1 shows.
    static QString HelpText();

    void FormKeyDown(QWidget *sender, int &key, Qt::KeyboardModifiers shift) override;
    void FormKeyUp(QWidget *sender, int &key, Qt::KeyboardModifiers shift) override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The toolbar's actions, run by its buttons.
    void But_Zoom_FitClick();
    void But_Zoom_PageClick();
    void But_Zoom_100Click();
    void But_Page_FirstClick();
    void But_Page_LastClick();
    void ButtonPrintClick();
    void But_SaveClick();
    void But_LoadClick();
    void ButtonHelpClick();
    void ButtonCloseClick();

    void FormShow();
    void FormClose();
    void PreviewPageAvailable();
    void PreviewProgressUpdate(int percent);
    void UpDown_ZoomClick(int position);

    void SetShownPages(const std::shared_ptr<PageStore> &pages);
    void SaveShownPages(const QString &fileName);
    void PageDisplay();
    void NavigationUpdate();
    void ZoomDisplay();
    void Reset();

    QWidget *Panel_Toolbar = nullptr;
    TWSpeedButton *But_Zoom_Fit = nullptr;
    TWSpeedButton *But_Zoom_Page = nullptr;
    TWSpeedButton *But_Zoom_100 = nullptr;
    QLabel *Lab_Zoom = nullptr;
    QSpinBox *UpDown_Zoom = nullptr;
    TWSpeedButton *But_Page_First = nullptr;
    TWSpeedButton *But_Page_Last = nullptr;
    QLabel *Lab_Seite = nullptr;
    QSpinBox *UpDown_Seite = nullptr;
    TWSpeedButton *ButtonPrint = nullptr;
    TWSpeedButton *But_Load = nullptr;
    TWSpeedButton *But_Save = nullptr;
    TWSpeedButton *ButtonHelp = nullptr;
    TWBitBtn *ButtonClose = nullptr;
    ReportPreviewControl *Preview = nullptr;
    QWidget *Panel_Progress = nullptr;
    QProgressBar *ProgressBar = nullptr;

    // Print files are loaded into a store of the window's own.
    std::shared_ptr<PageStore> LoadedPages;
    QPointer<QWidget> ReturnFocusForm;
    FileNameChooser m_chooseFile;
    std::optional<CsvTable> m_spreadsheet;
};

// The one preview window of the program. Without a window set, the source
// start-up sets builds it on first use (most sessions never preview, and the
// window costs start-up time); null while there is neither.
TPrn_Preview *Prn_Preview();
void SetPrn_Preview(TPrn_Preview *preview);
void SetPrn_PreviewSource(std::function<TPrn_Preview *()> source);
