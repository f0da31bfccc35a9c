#pragma once

#include <QByteArrayView>

#include <algorithm>

// What the reader needs of a file before it reads its rows, gathered over its pieces in one
// pass: the traces make room for exactly so many lines (its line feeds, or carriage returns in
// a file without any; a file that mixes the two is only counted about right), and a NUL byte
// marks a binary file.
class TLineCount
{
public:
    // In blocks of a fixed length, which the compiler does with vector instructions: a quarter
    // of a gigabyte in a few tens of milliseconds.
    void Add(QByteArrayView text)
    {
        constexpr qsizetype kBlock = 256;
        const char* p = text.data();
        const char* const end = p + text.size();
        // Kept in locals: the compiler must assume the bytes could alias the members.
        qsizetype feeds = 0;
        qsizetype returns = 0;
        bool nul = false;
        for (; end - p >= kBlock; p += kBlock) {
            int inFeeds = 0;
            int inReturns = 0;
            int inNuls = 0;
            for (qsizetype i = 0; i < kBlock; ++i) {
                inFeeds += p[i] == '\n';
                inReturns += p[i] == '\r';
                inNuls += p[i] == '\0';
            }
            feeds += inFeeds;
            returns += inReturns;
            nul = nul || inNuls > 0;
        }
        for (; p != end; ++p) {
            feeds += *p == '\n';
            returns += *p == '\r';
            nul = nul || *p == '\0';
        }
        m_feeds += feeds;
        m_returns += returns;
        m_binary = m_binary || nul;
        if (!text.isEmpty())
            m_last = text.back();
    }
    bool Binary() const { return m_binary; }
    // Of the lines, those after the comment and the header.
    qsizetype Rows() const
    {
        const qsizetype ends = m_feeds > 0 ? m_feeds : m_returns;
        const bool unended = m_last != 0 && m_last != '\n' && m_last != '\r';
        const qsizetype lines = ends + (unended ? 1 : 0);
        return std::max<qsizetype>(0, lines - 2);
    }

private:
    qsizetype m_feeds = 0;
    qsizetype m_returns = 0;
    bool m_binary = false;
    char m_last = 0;
};
