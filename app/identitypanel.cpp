#include "identitypanel.h"

#include <QPainter>

TIdentityPanel::TIdentityPanel(QWidget* parent) : QWidget(parent)
{
    setMinimumHeight(fontMetrics().height() + 4);
}

void TIdentityPanel::SetText(const QString& text)
{
    m_text = text;
    update();
}

void TIdentityPanel::SetWarning(bool on)
{
    m_warning = on;
    update();
}

void TIdentityPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const bool warning = ShowsWarning();
    p.fillRect(rect(), warning ? QColor(Qt::red) : palette().color(QPalette::Button));
    p.setPen(warning ? QColor(Qt::yellow) : palette().color(QPalette::ButtonText));
    p.drawText(rect().adjusted(20, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, m_text);
}
