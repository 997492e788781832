// The eight embedded images, their paths, pixel sizes and formats,
// and the one path the form asks for that is not in the collection.

#include <QtTest>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPixmap>

namespace {

QByteArray resourceBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

quint32 be32(const QByteArray &b, int at)
{
    return (quint32(quint8(b[at])) << 24) | (quint32(quint8(b[at + 1])) << 16)
        | (quint32(quint8(b[at + 2])) << 8) | quint32(quint8(b[at + 3]));
}

quint16 le16(const QByteArray &b, int at)
{
    return quint16(quint8(b[at]) | (quint8(b[at + 1]) << 8));
}

quint32 le32(const QByteArray &b, int at)
{
    return quint32(le16(b, at)) | (quint32(le16(b, at + 2)) << 16);
}

// The start-of-frame marker of a JPEG stream (0xC0 baseline, 0xC2 progressive, ...),
// or -1 when there is none before the scan data.
int jpegFrameMarker(const QByteArray &b)
{
    if (b.size() < 4 || quint8(b[0]) != 0xFF || quint8(b[1]) != 0xD8)
        return -1;
    int at = 2;
    while (at + 4 <= b.size()) {
        if (quint8(b[at]) != 0xFF)
            return -1;
        const int marker = quint8(b[at + 1]);
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8
            && marker != 0xCC)
            return marker;
        if (marker == 0xDA || marker == 0xD9)
            return -1;
        const int length = (quint8(b[at + 2]) << 8) | quint8(b[at + 3]);
        at += 2 + length;
    }
    return -1;
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT
private slots:
    void loads_data();
    void loads();
    void pngHeader_data();
    void pngHeader();
    void jpegIsBaseline();
    void icoIsOne32BitBitmap();
    void icoPixelsAre32Bit();
    void blasonGifIsAbsent();
    void crestAsPixmap();
};

void TestResources::loads_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<bool>("alpha");

    // In the order the collection stores them in.
    QTest::newRow("carte_beursault") << ":/carte_beursault.jpg" << QSize(217, 300)
                                     << QByteArray("jpeg") << false;
    QTest::newRow("disquette") << ":/disquette.png" << QSize(128, 128) << QByteArray("png")
                               << true;
    QTest::newRow("roue") << ":/roue.png" << QSize(600, 650) << QByteArray("png") << true;
    QTest::newRow("blason_Orvan_fili") << ":/blason_Orvan_fili.png" << QSize(624, 682)
                                       << QByteArray("png") << false;
    QTest::newRow("orvan") << ":/orvan.ico" << QSize(200, 256) << QByteArray("ico") << true;
    QTest::newRow("printer") << ":/printer.png" << QSize(256, 256) << QByteArray("png")
                             << true;
    QTest::newRow("blasonCIE") << ":/blasonCIE.png" << QSize(750, 1000) << QByteArray("png")
                               << true;
    QTest::newRow("blason") << ":/blason.png" << QSize(241, 297) << QByteArray("png") << true;
}

void TestResources::loads()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(QByteArray, format);
    QFETCH(bool, alpha);

    QVERIFY2(QFile::exists(path), qPrintable(path));

    QImageReader reader(path);
    QCOMPARE(reader.format(), format);
    QCOMPARE(reader.size(), size);
    if (format == "ico")
        QCOMPARE(reader.imageCount(), 1); // one image in the icon file

    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), size);
    QCOMPARE(image.hasAlphaChannel(), alpha);

    // A stand-in picture, not a flat colour: the image has more than a few colours.
    const QImage small = image.convertToFormat(QImage::Format_ARGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < small.height() && colours.size() < 16; y += 3)
        for (int x = 0; x < small.width() && colours.size() < 16; x += 3)
            colours.insert(small.pixel(x, y));
    QVERIFY2(colours.size() >= 16, qPrintable(path));
}

void TestResources::pngHeader_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("colourType"); // 6 = RGBA, 2 = RGB

    QTest::newRow("disquette") << ":/disquette.png" << 6;
    QTest::newRow("roue") << ":/roue.png" << 6;
    QTest::newRow("blason_Orvan_fili") << ":/blason_Orvan_fili.png" << 2;
    QTest::newRow("printer") << ":/printer.png" << 6;
    QTest::newRow("blasonCIE") << ":/blasonCIE.png" << 6;
    QTest::newRow("blason") << ":/blason.png" << 6;
}

void TestResources::pngHeader()
{
    QFETCH(QString, path);
    QFETCH(int, colourType);

    const QByteArray b = resourceBytes(path);
    QVERIFY(b.size() > 33);
    QVERIFY(b.startsWith("\x89PNG\r\n\x1a\n"));
    QCOMPARE(b.mid(12, 4), QByteArray("IHDR"));
    const QSize size(int(be32(b, 16)), int(be32(b, 20)));
    QCOMPARE(QImageReader(path).size(), size);
    QCOMPARE(int(quint8(b[24])), 8); // bit depth
    QCOMPARE(int(quint8(b[25])), colourType);
    QCOMPARE(int(quint8(b[28])), 0); // not interlaced
}

void TestResources::jpegIsBaseline()
{
    const QByteArray b = resourceBytes(":/carte_beursault.jpg");
    QVERIFY(!b.isEmpty());
    QCOMPARE(jpegFrameMarker(b), 0xC0);
}

void TestResources::icoIsOne32BitBitmap()
{
    const QByteArray b = resourceBytes(":/orvan.ico");
    QVERIFY(b.size() > 22 + 40);
    // ICONDIR: reserved 0, type 1 (icon), one image.
    QCOMPARE(le16(b, 0), quint16(0));
    QCOMPARE(le16(b, 2), quint16(1));
    QCOMPARE(le16(b, 4), quint16(1));
    // ICONDIRENTRY: 200 wide, 0 meaning 256 high, 1 plane, 32 bits per pixel.
    QCOMPARE(int(quint8(b[6])), 200);
    QCOMPARE(int(quint8(b[7])), 0);
    QCOMPARE(le16(b, 10), quint16(1));
    QCOMPARE(le16(b, 12), quint16(32));
    const quint32 bytes = le32(b, 14);
    const quint32 offset = le32(b, 18);
    QCOMPARE(offset, quint32(22));
    QCOMPARE(qint64(offset) + bytes, qint64(b.size()));
    // An uncompressed bitmap, not a PNG: BITMAPINFOHEADER with the height doubled.
    QVERIFY(!b.mid(int(offset), 4).startsWith("\x89PNG"));
    QCOMPARE(le32(b, 22), quint32(40));
    QCOMPARE(qint32(le32(b, 26)), 200);
    QCOMPARE(qint32(le32(b, 30)), 512);
    QCOMPARE(le16(b, 34), quint16(1));
    QCOMPARE(le16(b, 36), quint16(32));
    QCOMPARE(le32(b, 38), quint32(0)); // BI_RGB
    const quint32 xorBytes = 200 * 256 * 4;
    const quint32 andBytes = ((200 + 31) / 32) * 4 * 256;
    QCOMPARE(bytes, 40 + xorBytes + andBytes);
}

void TestResources::icoPixelsAre32Bit()
{
    const QImage icon(":/orvan.ico");
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.depth(), 32);
    QVERIFY(icon.hasAlphaChannel());
    // Transparent corners around the crest, opaque crest in the middle.
    QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(icon.pixel(100, 128)), 255);
}

void TestResources::blasonGifIsAbsent()
{
    QVERIFY(!QFile::exists(":/blason.gif"));
    QVERIFY(QImage(":/blason.gif").isNull());
    QVERIFY(QPixmap(":/blason.gif").isNull());
}

void TestResources::crestAsPixmap()
{
    const QPixmap crest(":/blason.png");
    QVERIFY(!crest.isNull());
    QCOMPARE(crest.size(), QSize(241, 297));
    QVERIFY(crest.hasAlphaChannel());
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
