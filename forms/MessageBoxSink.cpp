#include "forms/MessageBoxSink.h"

#include "common/Cursors.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <map>

namespace {

QMessageBox::Icon toIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton toStandard(MessageButton b)
{
    switch (b) {
    case MessageButton::Ok: return QMessageBox::Ok;
    case MessageButton::Yes: return QMessageBox::Yes;
    case MessageButton::No: return QMessageBox::No;
    case MessageButton::Cancel: return QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

} // namespace

MessageButton MessageBoxSink::Show(const MessageRequest &request)
{
    QWidget *parent = qobject_cast<QWidget *>(request.owner);
    if (!parent)
        parent = QApplication::activeWindow();
    QMessageBox box(toIcon(request.icon), request.caption, request.text, QMessageBox::NoButton, parent);
    box.setWindowModality(Qt::ApplicationModal);
    if (!request.detail.isEmpty())
        box.setDetailedText(request.detail);
    std::map<QAbstractButton *, MessageButton> answers;
    for (MessageButton b : request.buttons) {
        QPushButton *button = box.addButton(toStandard(b));
        answers[button] = b;
        if (b == request.defaultButton)
            box.setDefaultButton(button);
    }
    // Boxes are often shown by code that holds the hourglass; the box itself
    // waits for the user and shows the arrow.
    const TChangeCursor arrow(Qt::ArrowCursor);
    box.exec();
    const auto it = answers.find(box.clickedButton());
    // Closed without a button (Escape where no Cancel exists): the default answer.
    return it != answers.end() ? it->second : request.defaultButton;
}

void InstallProgramMessageSink()
{
    static MessageBoxSink sink;
    if (!NonInteractiveRequested())
        SetMessageSink(&sink);
}
