#pragma once

#include "common/Messages.h"

#include <QList>

// Records every message of the program and answers with a queued answer, or
// with the box's default button when none is queued. Installs itself for its
// lifetime.
class MessageRecorder final : public MessageSink
{
public:
    MessageRecorder() : m_previous(CurrentMessageSink()) { SetMessageSink(this); }
    ~MessageRecorder() override { SetMessageSink(m_previous); }

    MessageButton Show(const MessageRequest &request) override
    {
        messages.append(request);
        return answers.isEmpty() ? request.defaultButton : answers.takeFirst();
    }

    QStringList texts() const
    {
        QStringList out;
        for (const MessageRequest &m : messages)
            out << m.text;
        return out;
    }

    QList<MessageRequest> messages;
    QList<MessageButton> answers;

private:
    MessageSink *m_previous;
};
