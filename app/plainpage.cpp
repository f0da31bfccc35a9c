#include "plainpage.h"

TPlainPage::TPlainPage(const char* objectName, const char* caption, int activityCode,
                       ShownRule shown, QWidget* parent)
    : QWidget(parent), m_caption(caption), m_activityCode(activityCode), m_shown(std::move(shown))
{
    setObjectName(QLatin1String(objectName));
}
