#pragma once

#include "page.h"

#include <QWidget>

#include <functional>
#include <memory>

class TInstrumentLink;
class TKeySender;
class TMimicFeed;
class TMimicKeys;
class TQ910LCD;
namespace Ui {
class TDisplayPage;
}

// The Display tab: the instrument's front panel with its live LCD, polled while the tab is in
// front, and its keys, which press the instrument's own.
class TDisplayPage : public QWidget, public IPage
{
    Q_OBJECT
public:
    using ErrorHandler = std::function<void(const QString& message)>;

    // `picture`: the front-panel picture; `programDir`: where the segment pictures are.
    TDisplayPage(const QString& picture, const QString& programDir, TInstrumentLink& link,
                 ErrorHandler onError, QWidget* parent = nullptr);
    ~TDisplayPage() override;

    QWidget* Widget() override { return this; }
    const char* Caption() const override { return "Display"; }
    IActivity* Activity() override;
    void LinkChanged(const TLinkState& state) override;

protected:
    // The picture keeps its proportions inside the tab, whatever its size.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::TDisplayPage> ui;
    TQ910LCD* m_mimic = nullptr;
    std::unique_ptr<TKeySender> m_sender;
    std::unique_ptr<TMimicKeys> m_keys;
    std::unique_ptr<TMimicFeed> m_feed;
};
