#pragma once

#include <QWidget>

// Status bar panel 2: the connected instrument's identity, drawn red with yellow text while
// terminal traffic sent by hand may have changed the instrument since the last store.
class TIdentityPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TIdentityPanel(QWidget* parent = nullptr);
    void SetText(const QString& text);
    [[nodiscard]] QString Text() const { return m_text; }
    void SetWarning(bool on);
    [[nodiscard]] bool Warning() const { return m_warning; }
    // True when the panel is drawn as a warning (red, yellow text).
    [[nodiscard]] bool ShowsWarning() const { return m_warning && !m_text.isEmpty(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    bool m_warning = false;
};
