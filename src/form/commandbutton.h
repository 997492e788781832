#pragma once

#include <QCommandLinkButton>

// A command link that shows a frame while it has the focus: the styles draw
// none on a command link, and the keyboard user must see which one Enter
// presses.
class CommandButton : public QCommandLinkButton
{
    Q_OBJECT

public:
    using QCommandLinkButton::QCommandLinkButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};
