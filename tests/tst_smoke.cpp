#include "app/mainwindow.h"

#include <QtTest>

class TestSmoke : public QObject
{
    Q_OBJECT
private slots:
    void builds() { MainWindow w; QVERIFY(!w.isVisible()); }
};

QTEST_MAIN(TestSmoke)
#include "tst_smoke.moc"
