#include "report/ui/crest.h"

#include <QFileInfo>
#include <QImage>
#include <QImageReader>

namespace {

// Qt refuses pictures over 128 MiB decoded (about 33 Mpx). Formats that
// cannot decode scaled, PNG among them, decode whole first: a 100 Mpx camera
// picture still fits under this, a forged 60000 × 60000 header does not.
constexpr int decodeLimitMiB = 512;

} // namespace

QImage loadCrest(const QString &path, int height)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return {};
    QImageReader reader(path);
    const QSize size = reader.size();
    if (size.isValid() && size.height() > height)
        reader.setScaledSize(QSize(qMax(1, qRound(qreal(size.width()) * height / size.height())), height));

    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(qMax(limit, decodeLimitMiB));
    QImage image = reader.read();
    QImageReader::setAllocationLimit(limit);
    return image;
}
