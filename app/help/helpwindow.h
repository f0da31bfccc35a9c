#pragma once

#include "helpmanual.h"

#include <QWidget>

#include <memory>
#include <vector>

class QListWidgetItem;
namespace Ui {
class THelpWindow;
}

// The program's help: the manual's pages with their pictures and links, the contents and a
// search over every page. It is a window of its own beside the program's windows, usable
// while a dialog waits for an answer.
class THelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit THelpWindow(const QString& folder = QLatin1String(helpmanual::kFolder),
                         QWidget* parent = nullptr);
    ~THelpWindow() override;

    // Shows the page (a file name in the manual's folder) and brings the window to the front.
    void ShowPage(const QString& file);

private:
    void ConnectNavigation();
    void ConnectSearch();
    void ShowContents();
    void Search(const QString& query);
    void OpenItem(const QListWidgetItem* item);
    void PageShown(const QUrl& url);
    void MarkQuery();

    std::unique_ptr<Ui::THelpWindow> ui;
    QString m_folder;
    std::vector<THelpPage> m_pages;
};
