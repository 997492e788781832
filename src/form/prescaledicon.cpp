#include "form/prescaledicon.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIconEngine>
#include <QImageReader>
#include <QLibraryInfo>
#include <QPainter>
#include <QPixmap>
#include <QVersionNumber>

#include <optional>

namespace {

struct Copy
{
    QSize size;
    QString path;
    QPixmap pixmap; // read when first shown
};

// ":/roue.png" shrunk for a request of 50 x 50 pixels is ":/prescaled/roue/50x50.png".
QList<Copy> copiesOf(const QString &original)
{
    QList<Copy> copies;
    const QDir dir(QStringLiteral(":/prescaled/") + QFileInfo(original).completeBaseName());
    for (const QString &name : dir.entryList({QStringLiteral("*.png")}, QDir::Files)) {
        const QString path = dir.filePath(name);
        copies.append({QImageReader(path).size(), path, {}});
    }
    return copies;
}

// What QIcon::pixmap asks of QIconEngine::scaledPixmap: Qt 6.4 gives the
// size in device pixels; Qt 6.8 gives it in device-independent pixels, the
// scale beside it, as Qt's own engine takes it. The Qt that runs decides,
// not the one built against: the Debian 12 package runs on Debian 13's Qt.
bool requestInDevicePixels()
{
    static const bool inDevicePixels = QLibraryInfo::version() < QVersionNumber(6, 8);
    return inDevicePixels;
}

class PrescaledIconEngine final : public QIconEngine
{
public:
    explicit PrescaledIconEngine(const QString &original) : m_original(original) {}

    QIconEngine *clone() const override { return new PrescaledIconEngine(*this); }

    // As Qt's own engine does: at the pixel ratio of the device painted on.
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const QPaintDevice *device = painter->device();
        const qreal dpr = device ? device->devicePixelRatio() : qApp->devicePixelRatio();
        painter->drawPixmap(rect, scaledPixmap(requestInDevicePixels() ? rect.size() * dpr : rect.size(),
                                               mode, state, dpr));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // The original holds one image at scale 1, so the scale cannot change
    // which image Qt picks, only the size in device pixels does.
    QPixmap scaledPixmap(const QSize &request, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        const QSize size = requestInDevicePixels() ? request : request * scale;
        const QPixmap copy = prescaled(size, mode, state);
        return copy.isNull() ? original().pixmap(size, 1.0, mode, state) : copy;
    }

    // Qt's own rule, from the original's header (QIcon::actualSize would
    // apply the screen's pixel ratio a second time): shrink to fit, keeping
    // the aspect ratio, never enlarge. What Qt shows depends on nothing else.
    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        QSize actual = originalSize();
        if (!actual.isValid())
            return {};
        if (actual.width() > size.width() || actual.height() > size.height())
            actual.scale(size, Qt::KeepAspectRatio);
        return actual;
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return original().availableSizes(mode, state);
    }

    bool isNull() override { return !originalSize().isValid(); }

private:
    QPixmap prescaled(const QSize &request, QIcon::Mode mode, QIcon::State state)
    {
        if (mode != QIcon::Normal || state != QIcon::Off)
            return {};
        if (!m_copies)
            m_copies = copiesOf(m_original);
        const QSize shown = actualSize(request, mode, state);
        for (Copy &copy : *m_copies) {
            if (copy.size == shown) {
                if (copy.pixmap.isNull())
                    copy.pixmap = QPixmap(copy.path);
                return copy.pixmap;
            }
        }
        return {};
    }

    QIcon &original()
    {
        if (!m_fallback)
            m_fallback = QIcon(m_original);
        return *m_fallback;
    }

    QSize originalSize()
    {
        if (!m_originalSize)
            m_originalSize = QImageReader(m_original).size();
        return *m_originalSize;
    }

    QString m_original;
    std::optional<QIcon> m_fallback;
    std::optional<QSize> m_originalSize;
    std::optional<QList<Copy>> m_copies;
};

} // namespace

QList<QSize> prescaledSizes(const QString &original)
{
    QList<QSize> sizes;
    for (const Copy &copy : copiesOf(original))
        sizes.append(copy.size);
    return sizes;
}

QIcon prescaledIcon(const QString &original)
{
    return QIcon(new PrescaledIconEngine(original));
}
