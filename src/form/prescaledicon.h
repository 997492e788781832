#pragma once

#include <QIcon>
#include <QList>
#include <QSize>
#include <QString>

// The pixel sizes of the build's shrunk copies of the image `original`
// (cmake/prescaledicons.cmake makes them).
QList<QSize> prescaledSizes(const QString &original);

// Shows exactly what QIcon(original) shows. Decoding a large original only to
// shrink it is most of the cost of a button icon, so the normal image comes
// from the build's copy when there is one of the size Qt would shrink the
// original to; any other size, mode or state decodes the original, once,
// when first asked.
QIcon prescaledIcon(const QString &original);
