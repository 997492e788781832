// The eight embedded images, and the one path the form asks for that is not
// in the collection.
#include <QtTest>
#include <QImageReader>

class TestResources : public QObject
{
    Q_OBJECT
private slots:
    void loads_data();
    void loads();
    void blasonGifIsAbsent();
};

void TestResources::loads_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<bool>("alpha");

    const struct { const char *path; QSize size; const char *format; bool alpha; } rows[] = {
        {":/carte_beursault.jpg", {217, 300}, "jpeg", false}, {":/disquette.png", {128, 128}, "png", true},
        {":/roue.png", {600, 650}, "png", true}, {":/blason_Orvan_fili.png", {624, 682}, "png", false},
        {":/orvan.ico", {200, 256}, "ico", true}, {":/printer.png", {256, 256}, "png", true},
        {":/blasonCIE.png", {750, 1000}, "png", true}, {":/blason.png", {241, 297}, "png", true},
    };
    for (const auto &r : rows)
        QTest::newRow(r.path) << QString(r.path) << r.size << QByteArray(r.format) << r.alpha;
}

void TestResources::loads()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, format);

    QImageReader reader(path);
    QCOMPARE(reader.format(), format);
    if (format == "ico")
        QCOMPARE(reader.imageCount(), 1);
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QTEST(image.size(), "size");
    QTEST(image.hasAlphaChannel(), "alpha");
    if (format == "ico")
        QCOMPARE(image.depth(), 32);
}

void TestResources::blasonGifIsAbsent()
{
    QVERIFY(!QFile::exists(":/blason.gif"));
    QVERIFY(QImage(":/blason.gif").isNull());
}

QTEST_GUILESS_MAIN(TestResources)
#include "tst_resources.moc"
