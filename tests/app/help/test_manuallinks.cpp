// The manual as the program carries it: every link and picture of every page is there, every
// page can be reached from the contents, every page F1 opens exists, and the README's links
// point at files of the tree.
#include "helpmanual.h"
#include "helptopics.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << text.toStdString();
}

namespace {

const QString kFolder = QLatin1String(helpmanual::kFolder);

QString Text(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The file a link of `page` names, as the help window resolves it; empty for a link that
// leaves the manual (an address with a scheme), which a reader offline could not follow.
QString Resolved(const QUrl& page, const QString& target)
{
    const QUrl link(target);
    if (!link.scheme().isEmpty())
        return {};
    return u':' + page.resolved(link).path();
}

QStringList PageFiles()
{
    return QDir(kFolder).entryList({QStringLiteral("*.md")}, QDir::Files, QDir::Name);
}

class ManualPage : public ::testing::TestWithParam<QString>
{
};

TEST_P(ManualPage, HasATitleAndOnlyLinksThatAreThere)
{
    const QString file = GetParam();
    const QString text = Text(kFolder + u'/' + file);
    EXPECT_FALSE(helpmanual::TitleOf(text).isEmpty());
    for (const QString& target : helpmanual::LinkTargets(text)) {
        const QString path = Resolved(helpmanual::PageUrl(file), target);
        EXPECT_TRUE(!path.isEmpty() && QFile::exists(path))
            << file.toStdString() << " links " << target.toStdString();
    }
}

TEST_P(ManualPage, IsLinkedFromAnotherPage)
{
    const QString file = GetParam();
    if (file == QLatin1String(helpmanual::kContents))
        return;
    bool linked = false;
    for (const QString& other : PageFiles()) {
        if (other != file && helpmanual::LinkTargets(Text(kFolder + u'/' + other)).contains(file))
            linked = true;
    }
    EXPECT_TRUE(linked) << file.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Pages, ManualPage, ::testing::ValuesIn(PageFiles()),
                         [](const ::testing::TestParamInfo<QString>& info) {
                             return info.param.chopped(3).replace(u'-', u'_').toStdString();
                         });

TEST(HelpTopics, EveryPageF1OpensExists)
{
    for (const helptopics::TTopic& topic : helptopics::Topics())
        EXPECT_TRUE(QFile::exists(kFolder + u'/' + QLatin1String(topic.page))) << topic.page;
}

TEST(Readme, LinksFilesOfTheTree)
{
    const QString readme = QStringLiteral(VIEWER_SOURCE_DIR "/README.md");
    const QStringList targets = helpmanual::LinkTargets(Text(readme));
    EXPECT_TRUE(targets.contains(QStringLiteral("docs/manual/index.md")));
    for (const QString& target : targets) {
        if (!QUrl(target).scheme().isEmpty())
            continue;
        EXPECT_TRUE(QFile::exists(QStringLiteral(VIEWER_SOURCE_DIR "/") + target))
            << target.toStdString();
    }
}

} // namespace
