#pragma once

#include <QString>

enum class MessageIcon { None, Information, Exclamation, Question, Critical };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

// The operator's message box, as the widget-free libraries see it. The application implements it
// with real message boxes; tests implement it with scripted answers and read what was shown.
class Prompter
{
public:
    virtual ~Prompter() = default;
    virtual MessageAnswer message(const QString& text, const QString& title,
                                  MessageIcon icon = MessageIcon::Information,
                                  MessageButtons buttons = MessageButtons::Ok) = 0;
};

// For work the operator did not ask for, such as a preview: nothing is shown, and every question
// is answered Ok.
class SilentPrompter final : public Prompter
{
public:
    MessageAnswer message(const QString&, const QString&, MessageIcon, MessageButtons) override
    {
        return MessageAnswer::Ok;
    }
};
