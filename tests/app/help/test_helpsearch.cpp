// The help window's search: which pages a query finds, in which order, with which line; and
// that the delivered manual answers the questions its readers come with.
#include "helpsearch.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

struct TSearchCase
{
    const char* query;
    const char* pages;   // the files found, best first, joined by blanks
    const char* excerpt; // part of the first hit's line; empty: not checked
};

void PrintTo(const TSearchCase& c, std::ostream* out)
{
    *out << '"' << c.query << '"';
}

std::vector<THelpPage> Pages()
{
    const auto page = [](const char* file, const char* text) {
        return THelpPage{QLatin1String(file), helpmanual::TitleOf(QLatin1String(text)),
                         QLatin1String(text)};
    };
    return {page("connect.md", "# Connecting\n\nChoose the port. A ring needs an address.\n\n"
                               "## Ring addresses\n\nEach instrument on a ring has one."),
            page("cal.md", "# Calibration\n\nZero and span. During the wait it is "
                           "Calibrating, see [Connecting](connect.md).\n"),
            page("trouble.md", "# Troubleshooting\n\nAdd your user to `dialout`; try `--port`.\n"
                               "ring ring ring ring ring ring ring ring ring ring ring ring\n"),
            page("long.md", "# Long\n\nThis line is long enough that the excerpt must be cut "
                            "around the word it was found by, which is here: linearisation, "
                            "and then it goes on and on for a while longer than fits.\n")};
}

QString Found(const std::vector<THelpHit>& hits)
{
    QStringList files;
    for (const THelpHit& hit : hits)
        files << hit.file;
    return files.join(u' ');
}

class Searching : public ::testing::TestWithParam<TSearchCase>
{
};

TEST_P(Searching, FindsThePagesBestFirst)
{
    const TSearchCase& c = GetParam();
    const std::vector<THelpHit> hits = helpsearch::Search(Pages(), QString::fromUtf8(c.query));
    EXPECT_EQ(Found(hits), QLatin1String(c.pages));
    if (*c.excerpt && !hits.empty()) {
        EXPECT_TRUE(hits.front().excerpt.contains(QLatin1String(c.excerpt)))
            << hits.front().excerpt.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Searching,
    ::testing::Values(TSearchCase{"", "", ""}, TSearchCase{" \t ", "", ""}, // nothing asked
                      TSearchCase{"calib", "cal.md", "Calibration"},        // the start of a word
                      TSearchCase{"RING ADDRESS", "connect.md",
                                  "A ring needs"},                           // any case, every word
                      TSearchCase{"ring", "trouble.md connect.md", ""},      // not inside "During"
                      TSearchCase{"ring ring", "trouble.md connect.md", ""}, // a word counts once
                      TSearchCase{"connecting", "connect.md cal.md", ""}, // the title counts most
                      TSearchCase{"--port", "trouble.md", "try --port"},  // markup left out
                      TSearchCase{"connect.md", "", ""},                  // link targets too
                      TSearchCase{"dialout ring", "trouble.md", ""},      //
                      TSearchCase{"linearisation", "long.md", "here: linearisation, and"},
                      TSearchCase{"zero nowhere", "", ""}));

// What a reader of the delivered manual types, and the page that must come first.
struct TQuestion
{
    const char* query;
    const char* page;
};

void PrintTo(const TQuestion& c, std::ostream* out)
{
    *out << '"' << c.query << '"';
}

class Manual : public ::testing::TestWithParam<TQuestion>
{
};

TEST_P(Manual, AnswersFirstWithThePage)
{
    static const std::vector<THelpPage> pages = helpmanual::LoadPages();
    const std::vector<THelpHit> hits = helpsearch::Search(pages, QLatin1String(GetParam().query));
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ(hits.front().file, QLatin1String(GetParam().page)) << Found(hits).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Questions, Manual,
    ::testing::Values(TQuestion{"dialout", "troubleshooting.md"},
                      TQuestion{"permission denied", "troubleshooting.md"},
                      TQuestion{"instrument not responding", "troubleshooting.md"},
                      TQuestion{"ring address", "troubleshooting.md"},
                      TQuestion{"optical link", "optical-link-prompt.md"},
                      TQuestion{"linearisation", "calibration-tab.md"},
                      TQuestion{"include calibration", "settings-files.md"},
                      TQuestion{"keep-alive", "sessions.md"}, TQuestion{"exit codes", "q900ctl.md"},
                      TQuestion{"cursor", "log-tab.md"}, TQuestion{"timestamps", "test-tab.md"}));

} // namespace
