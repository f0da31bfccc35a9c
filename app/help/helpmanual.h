#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <vector>

// One page of the user manual: its file name in the manual's folder, the title its first
// heading gives and its Markdown text.
struct THelpPage
{
    QString file;
    QString title;
    QString text;
};

// The user manual as the program carries it: Markdown pages built in as resources, in the
// order the contents page lists them, and what the help window needs to know of their text.
namespace helpmanual {

// Where the pages are built in; their pictures lie in ../screenshots beside them.
inline constexpr char kFolder[] = ":/help/manual";
inline constexpr char kContents[] = "index.md";

// Every page in `folder`: the contents page first, then the pages in the order it links
// them, then any others by name.
[[nodiscard]] std::vector<THelpPage> LoadPages(const QString& folder = QLatin1String(kFolder));
// The text of the first heading, or empty.
[[nodiscard]] QString TitleOf(const QString& markdown);
// The targets of every link and picture, in order of appearance.
[[nodiscard]] QStringList LinkTargets(const QString& markdown);
// The text a reader sees: markup, link targets and pictures' paths left out.
[[nodiscard]] QString PlainText(const QString& markdown);
// The address of a page in `folder` as a browser opens it (a qrc: URL for the resources).
[[nodiscard]] QUrl PageUrl(const QString& file, const QString& folder = QLatin1String(kFolder));

} // namespace helpmanual
