#include "passcodeprompts.h"

#include "tools.h"

#include <algorithm>
#include <cstdio>

TPasscodePrompts::TPasscodePrompts(bool full, std::optional<QString> given, Reader reader)
    : m_full(full), m_known(std::move(given)), m_reader(std::move(reader))
{
}

std::optional<QString> TPasscodePrompts::AskPasscode(const TPasscodeQuestion& question)
{
    if (m_known && !m_offered) {
        m_offered = true;
        return m_known;
    }
    if (!m_reader) {
        m_missing = !m_known;
        return std::nullopt;
    }
    return Typed(question);
}

std::optional<QString> TPasscodePrompts::Typed(const TPasscodeQuestion& question)
{
    if (question.again && m_typed < kTypedTries)
        std::fprintf(stderr, "q900ctl: %s.\n", qPrintable(question.Refusal()));
    while (m_typed < kTypedTries) {
        ++m_typed;
        const std::optional<QString> typed = m_reader(question.Caption() + QStringLiteral(": "));
        if (!typed) {
            m_cancelled = true;
            return std::nullopt;
        }
        if (!typed->isEmpty() && std::all_of(typed->cbegin(), typed->cend(), tools::IsDigit)) {
            m_known = typed;
            m_offered = true;
            return typed;
        }
        std::fprintf(stderr, "q900ctl: A passcode is digits only.\n");
    }
    return std::nullopt;
}
