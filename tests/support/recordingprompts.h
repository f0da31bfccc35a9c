#pragma once

#include "userprompts.h"

#include <QStringList>

#include <deque>
#include <functional>

// Answers every question the program asks and remembers it. `whileShown` runs while a
// message is "on screen", as the events a real modal box lets through would. Questions and
// file dialogs take their answers from queues; an empty queue answers with the last button
// (Cancel) or no file.
class RecordingPrompts : public IUserPrompts
{
public:
    QStringList messages;
    // Warnings go to `messages` as information does, and here as well.
    QStringList warnings;
    bool confirmAnswer = true;
    std::deque<int> answers;
    std::deque<QString> fileNames;
    std::function<void(const QString& text)> whileShown;

    void Inform(const QString& text) override { Record(text); }
    void Warn(const QString& text) override
    {
        warnings << text;
        Record(text);
    }
    void ShowError(const QString& text) override { Record("error: " + text); }
    bool Confirm(const QString& text) override
    {
        Record("confirm: " + text);
        return confirmAnswer;
    }
    void ShowOpticalPrompt() override { Record("optical prompt"); }
    int Ask(const QString& text, const QStringList& buttons) override
    {
        Record("ask: " + text);
        return Take(answers, static_cast<int>(buttons.size()) - 1);
    }
    QString AskOpenFileName(const QString& title, const QString& filter) override
    {
        Record("open: " + title + " | " + filter);
        return Take(fileNames, QString());
    }
    QString AskSaveFileName(const QString& title, const QString& filter) override
    {
        Record("save: " + title + " | " + filter);
        return Take(fileNames, QString());
    }

private:
    template <class T> static T Take(std::deque<T>& queue, T otherwise)
    {
        if (queue.empty())
            return otherwise;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
    void Record(const QString& text)
    {
        messages << text;
        if (whileShown)
            whileShown(text);
    }
};
