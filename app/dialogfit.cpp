#include "dialogfit.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>

namespace {

// The title bar's icon, its buttons and their spacing, in lines of the dialog's font: window
// managers size them by their own font, which is about as large.
constexpr int kTitleBarLines = 8;

} // namespace

TDialogFit::TDialogFit(QObject* parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

TDialogFit::~TDialogFit()
{
    qApp->removeEventFilter(this);
}

int TDialogFit::TitleWidth(const QString& title, const QFont& font)
{
    // Titles are drawn bold by most window managers.
    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    return metrics.horizontalAdvance(title) + kTitleBarLines * metrics.height();
}

void TDialogFit::Fit(QDialog& dialog)
{
    const int need = TitleWidth(dialog.windowTitle(), dialog.font());
    if (dialog.minimumWidth() >= need)
        return;
    QLayout* layout = dialog.layout();
    if (layout && layout->sizeConstraint() == QLayout::SetFixedSize) {
        // Such a layout sets the dialog's size at each change of its contents: the width goes
        // into the layout itself.
        auto* box = qobject_cast<QBoxLayout*>(layout);
        if (box && (box->direction() == QBoxLayout::TopToBottom ||
                    box->direction() == QBoxLayout::BottomToTop)) {
            const QMargins margins = box->contentsMargins();
            box->addStrut(need - margins.left() - margins.right());
            box->activate();
            return;
        }
        layout->setSizeConstraint(QLayout::SetMinimumSize);
    }
    if (dialog.maximumWidth() == dialog.minimumWidth())
        dialog.setFixedWidth(need);
    else
        dialog.setMinimumWidth(need);
}

bool TDialogFit::eventFilter(QObject* watched, QEvent* event)
{
    // Before the dialog's own show event, which centres it over its parent at its final size.
    const QEvent::Type type = event->type();
    if (type == QEvent::Show || type == QEvent::WindowTitleChange) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog && dialog->isWindow())
            Fit(*dialog);
    }
    return QObject::eventFilter(watched, event);
}
