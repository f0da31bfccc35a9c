#pragma once

#include "helpmanual.h"

#include <QRegularExpression>
#include <QString>

#include <vector>

// A page that holds every word of a search, with the line it was found in.
struct THelpHit
{
    QString file;
    QString title;
    QString excerpt;
    int score = 0;
};

// The help window's search: pages holding every word of the query (any case, at the start of
// a word: "calib" finds "Calibration", "ring" does not find "during"), best first. A word in the
// title counts most, one in a heading more than one in the text; pages of equal score keep their
// order in the manual.
namespace helpsearch {

[[nodiscard]] std::vector<THelpHit> Search(const std::vector<THelpPage>& pages,
                                           const QString& query);
// The query's words, lower case, without duplicates.
[[nodiscard]] QStringList Words(const QString& query);
// What a word of the query matches in a text.
[[nodiscard]] QRegularExpression Pattern(const QString& word);

} // namespace helpsearch
