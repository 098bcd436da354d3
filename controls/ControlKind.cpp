#include "controls/ControlKind.h"

#include "controls/TWBitBtn.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QToolButton>

ControlKind ClassifyControl(const QWidget *control)
{
    if (!control)
        return ControlKind::Other;
    if (qobject_cast<const TWBitBtn *>(control))
        return ControlKind::BitmapButton;
    if (qobject_cast<const QPushButton *>(control))
        return ControlKind::PushButton;
    if (qobject_cast<const QToolButton *>(control))
        return ControlKind::SpeedButton;
    if (qobject_cast<const QTextEdit *>(control) || qobject_cast<const QPlainTextEdit *>(control))
        return ControlKind::MultiLineEdit;
    if (qobject_cast<const QLineEdit *>(control)) {
        if (qobject_cast<const QComboBox *>(control->parentWidget()))
            return ControlKind::ComboBox;
        return ControlKind::EditField;
    }
    if (qobject_cast<const QAbstractSpinBox *>(control))
        return ControlKind::EditField;
    if (qobject_cast<const QComboBox *>(control))
        return ControlKind::ComboBox;
    if (qobject_cast<const QCheckBox *>(control))
        return ControlKind::CheckBox;
    if (qobject_cast<const QRadioButton *>(control))
        return ControlKind::RadioButton;
    if (qobject_cast<const QTableView *>(control))
        return ControlKind::Grid;
    if (qobject_cast<const QListView *>(control))
        return ControlKind::ListBox;
    if (qobject_cast<const QTabWidget *>(control))
        return ControlKind::PageControl;
    if (qobject_cast<const QTabBar *>(control) && qobject_cast<const QTabWidget *>(control->parentWidget()))
        return ControlKind::PageControl;
    return ControlKind::Other;
}

bool IsEditKind(ControlKind kind)
{
    return kind == ControlKind::EditField || kind == ControlKind::MultiLineEdit;
}

bool IsEnterAsTabKind(ControlKind kind)
{
    switch (kind) {
    case ControlKind::EditField:
    case ControlKind::MultiLineEdit:
    case ControlKind::ComboBox:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::ListBox: return true;
    default: return false;
    }
}

bool IsPressableKind(ControlKind kind)
{
    return kind == ControlKind::PushButton || kind == ControlKind::SpeedButton;
}
