#include "common/Messages.h"

#include "common/Errors.h"

#include <QtGlobal>

#include <cstdio>

namespace {

QString iconName(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information: return QStringLiteral("informacja");
    case MessageIcon::Error: return QStringLiteral("błąd");
    case MessageIcon::Question: return QStringLiteral("pytanie");
    case MessageIcon::None: break;
    }
    return QStringLiteral("komunikat");
}

// Writes the message to standard error and answers with the default button.
class StandardErrorSink final : public MessageSink
{
public:
    MessageButton Show(const MessageRequest &request) override
    {
        QString line = QStringLiteral("[%1] %2: %3").arg(iconName(request.icon), request.caption, request.text);
        if (!request.detail.isEmpty())
            line += QStringLiteral(" (%1)").arg(request.detail);
        std::fprintf(stderr, "%s\n", qPrintable(line));
        std::fflush(stderr);
        return request.defaultButton;
    }
};

StandardErrorSink gStandardErrorSink;
MessageSink *gSink = nullptr;

} // namespace

void SetMessageSink(MessageSink *sink)
{
    gSink = sink;
}

MessageSink *CurrentMessageSink()
{
    return gSink ? gSink : &gStandardErrorSink;
}

bool NonInteractiveRequested()
{
    const QByteArray v = qgetenv("DOMVEL_NONINTERACTIVE");
    return !v.isEmpty() && v != "0";
}

MessageButton ShowMessage(const MessageRequest &request)
{
    return CurrentMessageSink()->Show(request);
}

QString ApplicationTitle()
{
    return QStringLiteral("Domvel-E-Vadiv");
}

void ShowInformationBox(const QString &text, const QString &detail)
{
    ShowMessage({ApplicationTitle(), text, detail, MessageIcon::Information});
}

void ShowErrorBox(const QString &text, const QString &detail)
{
    ShowMessage({ApplicationTitle(), text, detail, MessageIcon::Error});
}

bool AskConfirmation(const QString &question, QObject *owner, bool withCancel)
{
    MessageRequest r;
    r.caption = QStringLiteral("Potwierdzenie");
    r.text = question;
    r.icon = MessageIcon::Question;
    r.owner = owner;
    if (withCancel) {
        r.buttons = {MessageButton::Yes, MessageButton::No, MessageButton::Cancel};
        r.defaultButton = MessageButton::Cancel;
    } else {
        r.buttons = {MessageButton::Yes, MessageButton::No};
        r.defaultButton = MessageButton::No;
    }
    switch (ShowMessage(r)) {
    case MessageButton::Yes: return true;
    case MessageButton::Cancel:
        if (withCancel)
            throw SilentAbort();
        return false;
    default: return false;
    }
}

void ShowAlreadyRunningMessage()
{
    // Shown before the application title is set: the toolkit's default caption.
    MessageRequest r;
    r.text = QStringLiteral("Program może być uruchomiony tylko jeden raz!");
    ShowMessage(r);
}

void ShowNoPrinterMessage()
{
    MessageRequest r;
    r.caption = ApplicationTitle();
    r.text = QStringLiteral("W systemie Windows nie zainstalowano żadnej drukarki.\n"
                            "Program nie może zostać uruchomiony.");
    ShowMessage(r);
}

bool ShowErrorDisplay(std::exception_ptr error)
{
    if (!error)
        return false;
    try {
        std::rethrow_exception(error);
    } catch (const SilentAbort &) {
        return false;
    } catch (const AppError &e) {
        ShowErrorBox(e.message());
    } catch (const std::exception &e) {
        ShowErrorBox(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ShowErrorBox(QString());
    }
    return true;
}
