#pragma once

#include <QObject>

class QMainWindow;
class QSplitter;
class QTabWidget;
class TdatViewer;

// The main window's layout kept across runs in config.ini's [Window]: its size and place, the
// positions of its splitters and the tab in front. Restored when made, once the pages are in;
// kept when the window is closed or the program is ended, a splitter also as its tab goes
// (one never shown keeps what was kept before).
class TWindowLayout : public QObject
{
public:
    TWindowLayout(TdatViewer& config, QMainWindow& window, QTabWidget& tabs);

    void Restore();
    void Keep();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void KeepSplitter(const QSplitter& splitter);

    TdatViewer& m_config;
    QMainWindow& m_window;
    QTabWidget& m_tabs;
};
