#pragma once

// The printed listing of a settings tree: the instrument's identity as a header, then every
// caption of the tree indented three blanks per level, cut into pages the way a line printer
// pages a text stream (a form feed and three blank lines start each new page).

#include "menunode.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace settingslisting {

// "  %s SN:%s Version %s " with the model text, serial number and software version.
[[nodiscard]] QString Header(const QString& model, const QString& serial, const QString& version);

// The pages of the listing, each a list of lines; `linesPerPage` counts the written lines
// of a page (the blank lines that start it are not counted). The tree is the holder whose
// first child is the top node; an empty tree lists the header alone.
[[nodiscard]] std::vector<QStringList> Pages(const QString& header, const TMenuNode& tree,
                                             int linesPerPage);

} // namespace settingslisting
