#include "helpmanual.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace helpmanual {

namespace {

// [text](target) and ![text](target); a target ends at a blank or the closing bracket.
const QRegularExpression& LinkPattern()
{
    static const QRegularExpression pattern(QStringLiteral(R"((!?)\[([^\]]*)\]\(([^)\s]+)\))"));
    return pattern;
}

QString ReadText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

std::vector<THelpPage> LoadPages(const QString& folder)
{
    const QDir dir(folder);
    QStringList files = dir.entryList({QStringLiteral("*.md")}, QDir::Files, QDir::Name);
    QStringList order{QLatin1String(kContents)};
    for (const QString& target : LinkTargets(ReadText(dir.filePath(QLatin1String(kContents))))) {
        if (files.contains(target) && !order.contains(target))
            order << target;
    }
    std::stable_sort(files.begin(), files.end(), [&order](const QString& a, const QString& b) {
        const auto rank = [&order](const QString& f) {
            const qsizetype at = order.indexOf(f);
            return at < 0 ? order.size() : at;
        };
        return rank(a) < rank(b);
    });
    std::vector<THelpPage> pages;
    for (const QString& file : files) {
        const QString text = ReadText(dir.filePath(file));
        pages.push_back({file, TitleOf(text), text});
    }
    return pages;
}

QString TitleOf(const QString& markdown)
{
    for (const QStringView line : QStringView(markdown).split(u'\n')) {
        if (line.startsWith(u'#'))
            return line.toString().remove(QRegularExpression(QStringLiteral("^#+"))).trimmed();
    }
    return {};
}

QStringList LinkTargets(const QString& markdown)
{
    QStringList targets;
    for (const QRegularExpressionMatch& m : LinkPattern().globalMatch(markdown))
        targets << m.captured(3);
    return targets;
}

QString PlainText(const QString& markdown)
{
    QString text = markdown;
    // A picture leaves its caption, a link its text.
    text.replace(LinkPattern(), QStringLiteral("\\2"));
    static const QRegularExpression markup(QStringLiteral(R"(^#+\s*|^\s*[-|: ]+$|[`*|]|\\)"),
                                           QRegularExpression::MultilineOption);
    text.remove(markup);
    static const QRegularExpression blanks(QStringLiteral("[ \\t]+"));
    return text.replace(blanks, QStringLiteral(" "));
}

QUrl PageUrl(const QString& file, const QString& folder)
{
    if (folder.startsWith(QLatin1String(":/")))
        return QUrl(QStringLiteral("qrc") + folder + u'/' + file);
    return QUrl::fromLocalFile(QDir(folder).filePath(file));
}

} // namespace helpmanual
