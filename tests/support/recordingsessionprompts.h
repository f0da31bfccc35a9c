#pragma once

#include "sessionprompts.h"

#include <QStringList>

#include <deque>

// Answers the session's questions from queues the test fills; an empty queue cancels.
class RecordingSessionPrompts : public ISessionPrompts
{
public:
    std::deque<bool> levels; // true: Full Setup
    std::deque<QString> passcodes;
    QStringList asked;
    // Per passcode asked: whether it was said that the one before was wrong.
    QList<bool> toldWrong;

    std::optional<bool> AskSetupLevel() override
    {
        asked << "level";
        if (levels.empty())
            return std::nullopt;
        const bool full = levels.front();
        levels.pop_front();
        return full;
    }
    std::optional<QString> AskPasscode(const TPasscodeQuestion& question) override
    {
        asked << question.Caption();
        toldWrong << question.again;
        if (passcodes.empty())
            return std::nullopt;
        const QString code = passcodes.front();
        passcodes.pop_front();
        return code;
    }
};
