#pragma once

#include <QString>

class QWidget;

// A new widget of `parent`, under the object name by which the program and
// its tests find it.
template <typename Widget>
Widget *named(QWidget *parent, const char *name)
{
    auto *widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
