#include "helpsearch.h"

#include <QRegularExpression>

#include <algorithm>

namespace helpsearch {

namespace {

constexpr int kTitleWeight = 20;
constexpr int kHeadingWeight = 5;
constexpr int kTextCap = 10;      // a word repeated all over a page is no better a hit
constexpr int kPhraseWeight = 10; // the words side by side, as typed
constexpr qsizetype kExcerptLength = 90;

int Count(const QString& text, const QRegularExpression& pattern)
{
    int count = 0;
    for (auto it = pattern.globalMatch(text); it.hasNext(); it.next())
        ++count;
    return count;
}

// The line of `text` the word was first found in, cut around the find.
QString Excerpt(const QString& text, const QRegularExpression& pattern)
{
    const qsizetype at = text.indexOf(pattern);
    if (at < 0)
        return {};
    const qsizetype start = text.lastIndexOf(u'\n', at) + 1;
    qsizetype end = text.indexOf(u'\n', at);
    if (end < 0)
        end = text.size();
    const QString line = text.mid(start, end - start).trimmed();
    if (line.size() <= kExcerptLength)
        return line;
    const qsizetype offset =
        std::clamp<qsizetype>(at - start - kExcerptLength / 3, 0, line.size() - kExcerptLength);
    return (offset > 0 ? QStringLiteral("...") : QString()) +
           line.mid(offset, kExcerptLength).trimmed() + QStringLiteral("...");
}

int HeadingHits(const QString& markdown, const QRegularExpression& pattern)
{
    int hits = 0;
    for (const QString& line : markdown.split(u'\n')) {
        if (line.startsWith(u'#') && line.contains(pattern))
            ++hits;
    }
    return hits;
}

// The words one after another, across blanks, line ends and markup.
QRegularExpression PhrasePattern(const QStringList& words)
{
    QStringList parts;
    for (const QString& word : words)
        parts << QRegularExpression::escape(word);
    return QRegularExpression(QStringLiteral("(?<!\\w)") + parts.join(QStringLiteral("\\W+")),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::UseUnicodePropertiesOption);
}

// What a page scores for one pattern: in its title, its headings and its text.
int Score(const THelpPage& page, const QString& text, const QRegularExpression& pattern,
          int textWeight)
{
    return textWeight * std::min(Count(text, pattern), kTextCap) +
           kHeadingWeight * HeadingHits(page.text, pattern) +
           (page.title.contains(pattern) ? kTitleWeight : 0);
}

} // namespace

QStringList Words(const QString& query)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QStringList words;
    for (const QString& word : query.toLower().split(blanks, Qt::SkipEmptyParts)) {
        if (!words.contains(word))
            words << word;
    }
    return words;
}

QRegularExpression Pattern(const QString& word)
{
    return QRegularExpression(QStringLiteral("(?<!\\w)") + QRegularExpression::escape(word),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::UseUnicodePropertiesOption);
}

std::vector<THelpHit> Search(const std::vector<THelpPage>& pages, const QString& query)
{
    const QStringList words = Words(query);
    std::vector<THelpHit> hits;
    if (words.isEmpty())
        return hits;
    std::vector<QRegularExpression> patterns;
    for (const QString& word : words)
        patterns.push_back(Pattern(word));
    const QRegularExpression phrase = PhrasePattern(words);
    for (const THelpPage& page : pages) {
        // The contents only repeats the titles of the pages it lists.
        if (page.file == QLatin1String(helpmanual::kContents))
            continue;
        const QString text = helpmanual::PlainText(page.text);
        const bool all = std::all_of(patterns.begin(), patterns.end(),
                                     [&text](const auto& p) { return text.contains(p); });
        if (!all)
            continue;
        int score = words.size() > 1 ? Score(page, text, phrase, kPhraseWeight) : 0;
        for (const QRegularExpression& pattern : patterns)
            score += Score(page, text, pattern, 1);
        hits.push_back({page.file, page.title, Excerpt(text, patterns.front()), score});
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [](const THelpHit& a, const THelpHit& b) { return a.score > b.score; });
    return hits;
}

} // namespace helpsearch
