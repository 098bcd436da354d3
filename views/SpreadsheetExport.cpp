#include "views/SpreadsheetExport.h"

#include "account/CsvTable.h"
#include "common/Errors.h"
#include "controls/TWSpeedButton.h"

#include <QFileDialog>
#include <QShortcut>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

namespace {

SpreadsheetFileChooser &chooser()
{
    static SpreadsheetFileChooser c;
    return c;
}

QString ChooseWithDialog(QWidget *parent, const QString &suggestedName)
{
    QFileDialog dialog(parent, u"Eksport do arkusza kalkulacyjnego"_s);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(u"csv"_s);
    dialog.setNameFilters({u"Arkusz kalkulacyjny CSV (*.csv)"_s});
    dialog.setDirectory(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    dialog.selectFile(suggestedName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

} // namespace

void SetSpreadsheetFileChooser(SpreadsheetFileChooser c)
{
    chooser() = std::move(c);
}

QString SaveSpreadsheet(QWidget *parent, const CsvTable &table, const QString &suggestedName)
{
    const QString fileName = chooser() ? chooser()(parent, suggestedName) : ChooseWithDialog(parent, suggestedName);
    if (fileName.isEmpty())
        return {};
    QString error;
    if (!table.Save(fileName, &error))
        throw AppError(u"Nie udało się zapisać pliku %1.\n%2"_s.arg(fileName, error));
    return fileName;
}

QString SpreadsheetButtonHint()
{
    return u"Eksport tabeli do arkusza kalkulacyjnego (CSV), Ctrl+E"_s;
}

TWSpeedButton *SpreadsheetButton(QWidget *toolStrip, QWidget *window, int x)
{
    auto *button = new TWSpeedButton(u"CSV"_s, toolStrip);
    button->setObjectName(u"ButtonCsv"_s);
    button->setToolTip(SpreadsheetButtonHint());
    button->setGeometry(x, 6, 44, 31);
    auto *key = new QShortcut(QKeySequence(kSpreadsheetKey), window);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, button, &QAbstractButton::click);
    return button;
}
