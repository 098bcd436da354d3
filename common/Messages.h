#pragma once

#include <QList>
#include <QString>

#include <exception>

class QObject;

// Every message box and question of the program passes through this seam. The
// program installs a sink that shows real boxes; tests install a recorder; a
// scripted or headless run (DOMVEL_NONINTERACTIVE=1) writes the messages to
// standard error and answers every question with its default button.

enum class MessageIcon { None, Information, Error, Question };
enum class MessageButton { Ok, Yes, No, Cancel };

struct MessageRequest
{
    QString caption; // empty: the toolkit's default caption
    QString text;
    QString detail; // optional technical detail (shown folded)
    MessageIcon icon = MessageIcon::None;
    QList<MessageButton> buttons{MessageButton::Ok};
    MessageButton defaultButton = MessageButton::Ok;
    QObject *owner = nullptr; // the window the box belongs to; null: the active one
};

class MessageSink
{
public:
    virtual ~MessageSink() = default;
    // Shows the message and returns the button the user chose.
    virtual MessageButton Show(const MessageRequest &request) = 0;
};

// Installs a sink (not owned); null restores the non-interactive default.
void SetMessageSink(MessageSink *sink);
MessageSink *CurrentMessageSink();

// True when DOMVEL_NONINTERACTIVE is set to a non-empty value other than "0".
bool NonInteractiveRequested();

MessageButton ShowMessage(const MessageRequest &request);

// The application title, used as the caption of outcome boxes.
QString ApplicationTitle();

// Outcome boxes: one OK button, the application title as caption.
void ShowInformationBox(const QString &text, const QString &detail = {});
void ShowErrorBox(const QString &text, const QString &detail = {});

// "Potwierdzenie": Yes/No with No as default, or Yes/No/Cancel with Cancel as
// default; Cancel throws SilentAbort.
bool AskConfirmation(const QString &question, QObject *owner = nullptr, bool withCancel = false);

void ShowAlreadyRunningMessage();
void ShowNoPrinterMessage();

// The outer error display: shows an escaped error in an error box; a SilentAbort
// shows nothing; any other thrown object is shown with an empty message.
// True when a box was shown.
bool ShowErrorDisplay(std::exception_ptr error);
