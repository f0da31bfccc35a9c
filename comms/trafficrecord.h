#pragma once

#include <QElapsedTimer>
#include <QString>

#include <deque>

// Everything that crossed the link since the first connection: each line with its direction
// and the milliseconds since then, the last kMaxLines kept, so a day of polling cannot eat the
// memory. A link that goes and comes back is marked in it by notes, so the traffic just before
// a loss, the part a support call needs, is kept.
class TTrafficRecord
{
public:
    static constexpr size_t kMaxLines = 100000;

    struct TLine
    {
        qint64 ms = 0;
        bool sent = false;
        QString text;      // as it crossed the link, control characters and all
        bool note = false; // not traffic: what became of the link
    };

    // Starts a new record, timed from now.
    void Restart();
    [[nodiscard]] bool Started() const { return m_clock.isValid(); }
    // A line of its own about the link ("link lost: ..."), after any received line not ended.
    void AddNote(const QString& text);
    [[nodiscard]] qint64 Elapsed() const;
    void AddSent(const QString& framed);
    // Received characters; a line ends after LF, EOT, ETX or ";" as the terminal shows it.
    void AddReceived(const QString& characters);
    [[nodiscard]] const std::deque<TLine>& Lines() const { return m_lines; }
    // The record as saved: one line per line, "   1234 ms >>> " or " <<< " before the text
    // (" --- " before a note), control characters spelled out.
    [[nodiscard]] QString Text() const;
    // Writes Text() through a temporary file renamed over `path`; the error text, or empty.
    [[nodiscard]] QString Save(const QString& path) const;

private:
    void Add(TLine line);

    QElapsedTimer m_clock;
    std::deque<TLine> m_lines;
    QString m_partial; // a received line not ended yet
    qint64 m_partialMs = 0;
};
