#pragma once

#include <QTextBrowser>

// The help window's page view: Markdown pages with their links, and pictures wider than the
// view shown scaled down to fit it.
class THelpBrowser : public QTextBrowser
{
    Q_OBJECT
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl& name) override;
};
