#pragma once

#include <QObject>

#include <functional>

class QWidget;

// F1 anywhere in the program, a modal dialog in front included: the key is taken before any
// shortcut sees it and handed on with the widget it was meant for.
class THelpKey : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(QWidget* target)>;

    explicit THelpKey(Handler onHelp, QObject* parent = nullptr);
    ~THelpKey() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler m_onHelp;
};
