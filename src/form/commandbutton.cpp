#include "form/commandbutton.h"

#include <QStyleOptionFocusRect>
#include <QStylePainter>

void CommandButton::paintEvent(QPaintEvent *event)
{
    QCommandLinkButton::paintEvent(event);
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    // Fusion draws a focus frame only once the keyboard has moved the focus.
    frame.state |= QStyle::State_KeyboardFocusChange;
    frame.backgroundColor = palette().color(QPalette::Button);
    frame.rect = rect().adjusted(1, 1, -1, -1);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
}
