#pragma once

#include "userprompts.h"

#include <QStringList>

#include <functional>

// Answers every question the program asks and remembers it. `whileShown` runs while a
// message is "on screen", as the events a real modal box lets through would.
class RecordingPrompts : public IUserPrompts
{
public:
    QStringList messages;
    bool confirmAnswer = true;
    std::function<void(const QString& text)> whileShown;

    void Inform(const QString& text) override { Record(text); }
    void ShowError(const QString& text) override { Record("error: " + text); }
    bool Confirm(const QString& text) override
    {
        Record("confirm: " + text);
        return confirmAnswer;
    }
    void ShowOpticalPrompt() override { Record("optical prompt"); }

private:
    void Record(const QString& text)
    {
        messages << text;
        if (whileShown)
            whileShown(text);
    }
};
