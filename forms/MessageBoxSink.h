#pragma once

#include "common/Messages.h"

// Shows the program's messages in real modal message boxes with Polish buttons.
class MessageBoxSink final : public MessageSink
{
public:
    MessageButton Show(const MessageRequest &request) override;
};

// Installs the message boxes, or keeps the standard-error sink when the
// environment asks for a non-interactive run.
void InstallProgramMessageSink();
