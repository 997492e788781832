#include "journal/journal.h"
#include "recovery/keeper.h"
#include "recovery/work.h"

#include "fulldisk.h"
#include "randomsettingslines.h"
#include "testhelpers.h"

#include <QProcess>
#include <QtTest>

#include <climits>
#include <cstdlib>
#include <functional>
#include <iterator>

using recovery::Work;
using testhelpers::dirEntries;
using testhelpers::readBytes;
using testhelpers::writeBytes;

Q_DECLARE_METATYPE(Work)

namespace QTest {
template <>
char *toString(const Work &work)
{
    return qstrdup(recovery::toBytes(work).constData());
}
} // namespace QTest

namespace {

// A day's work as the window holds it after "Calculer", names typed beside
// the places, and an unsaved change of tariff.
Work example()
{
    Work w;
    w.category = QStringLiteral("arc classique");
    w.bets = 42;
    w.blacksPaid = 3;
    w.list = QStringLiteral("<B>1er (50 %) : 59 €</B> Émile «\u00a0Le Gaucher\u00a0» Dupré;\r\n2ème : 35 € \"Zoé\"\n");
    w.listComputedFor =
        prizes::PrizeFigures{118, prizes::PrizeMode::Percentage, {50, 30, 20}, 3, true, QStringLiteral("arc classique")};
    w.listTyped = true;
    w.unprintedCount = day::CountOfDay{QDate(2026, 12, 9), {15000, 2000, {0, 0, 2, 1, 3}, 30000, "", "Léa"}};
    w.unsavedSettings = Settings{4.5, 0.5, 3, 20, 3, false, {50, 30, 20, 0, 0}, QStringLiteral("C:/club/blason.png"), true,
                                 QStringLiteral("Compagnie d'arc de Castelbrune")};
    w.keptAt = QDateTime(QDate(2026, 12, 9), QTime(14, 32, 5, 120), QTimeZone::utc()).toOffsetFromUtc(3600);
    return w;
}

Work exampleWith(const std::function<void(Work &)> &change)
{
    Work w = example();
    change(w);
    return w;
}

QString randomText(QRandomGenerator &rng)
{
    static const QStringList pieces = {
        ";", "\"", "'", "\r\n", "\n", "\r", "\t", "\\", "é", "É", "ç", "😀", "\u00a0", "\u2028", "<B>", "&euro;",
        "}", "{", "null", "fin, 12 octets\n", "Prix général, travail en cours, format 1\n", "Zoé Dupré", " ",
    };
    QString text;
    for (int n = rng.bounded(12); n > 0; --n)
        text += rng.bounded(3) ? pieces[rng.bounded(int(pieces.size()))] : QString(QChar(rng.bounded(0x20, 0xd7ff)));
    return text;
}

int randomInt(QRandomGenerator &rng)
{
    static const int edges[] = {0, 1, -1, 5, 100, INT_MAX, INT_MIN};
    return rng.bounded(2) ? edges[rng.bounded(int(std::size(edges)))] : int(rng.generate());
}

double randomPrice(QRandomGenerator &rng)
{
    // A spin box's cents, and doubles no decimal text shortens.
    return rng.bounded(2) ? rng.bounded(10000) / 100.0 : rng.generateDouble() * 1e6;
}

Work randomWork(QRandomGenerator &rng)
{
    Work w;
    w.category = randomText(rng);
    w.bets = randomInt(rng);
    w.blacksPaid = randomInt(rng);
    w.list = randomText(rng).repeated(rng.bounded(1, 20));
    if (rng.bounded(3)) {
        prizes::PrizeFigures f{randomInt(rng), rng.bounded(2) ? prizes::PrizeMode::Fixed : prizes::PrizeMode::Percentage,
                               {}, randomInt(rng), rng.bounded(2) == 1, randomText(rng)};
        for (int n = rng.bounded(prizes::maxPrizes + 1); n > 0; --n)
            f.values << randomInt(rng);
        w.listComputedFor = f;
    }
    w.listTyped = rng.bounded(2);
    w.listTypingPrinted = rng.bounded(2);
    if (rng.bounded(2)) {
        Settings s = parseSettingsLine(goodSettingsLine()).value();
        s.betPrice = randomPrice(rng);
        s.blackPrice = randomPrice(rng);
        s.minimumGain = randomInt(rng);
        s.costsPercent = randomInt(rng);
        s.prizeCount = randomInt(rng);
        s.fixedPrizes = rng.bounded(2);
        for (int &value : s.prizeValues)
            value = randomInt(rng);
        s.crestPath = randomText(rng);
        s.roundToFive = rng.bounded(2);
        s.clubName = randomText(rng);
        w.unsavedSettings = s;
    }
    if (rng.bounded(2)) {
        day::CountOfDay c{QDate(2026, 9, 1).addDays(rng.bounded(400)), {}};
        c.count.openingFloat = rng.bounded(100000000);
        c.count.unclaimedPrizes = rng.bounded(100000000);
        c.count.deposit = rng.bounded(100000000);
        for (int &pieces : c.count.pieces)
            pieces = rng.bounded(10000);
        c.count.reason = randomText(rng);
        c.count.countedBy = randomText(rng);
        w.unprintedCount = c;
    }
    if (rng.bounded(4))
        w.keptAt = QDateTime::fromMSecsSinceEpoch(qint64(rng.bounded(quint32(4'000'000'000u))) * 1000 + rng.bounded(1000), QTimeZone::utc())
                       .toOffsetFromUtc(rng.bounded(-14 * 4, 14 * 4 + 1) * 900);
    return w;
}

QString lockOf(const QString &folder, int slot) { return QDir(folder).filePath(QStringLiteral("recuperation-%1.lock").arg(slot)); }
QString fileOf(const QString &folder, int slot) { return QDir(folder).filePath(QStringLiteral("recuperation-%1.txt").arg(slot)); }

// Another copy of the program: this test program started again, which
// claims a slot and keeps `example()` ("keep"), or offers what it finds
// ("offer"), says so on a line of its output after QtTest's and runs until
// killed.
const char childRole[] = "PRIXGENERAL_RECOVERY_CHILD";

std::unique_ptr<QProcess> startCopy(const QString &role, const QString &folder)
{
    auto copy = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(childRole, role + QLatin1Char(' ') + folder);
    copy->setProcessEnvironment(env);
    copy->start(QCoreApplication::applicationFilePath(), {});
    return copy;
}

QByteArray answerOf(QProcess &copy)
{
    while (copy.canReadLine() || copy.waitForReadyRead(20000)) {
        const QByteArray line = copy.readLine().trimmed();
        if (line.startsWith("copy: "))
            return line.mid(6);
    }
    return "no answer";
}

void runAsCopy(const QString &role, const QString &folder)
{
    QTextStream out(stdout);
    static recovery::Keeper keeper(folder);
    static recovery::LeftBehind offered;
    QString error;
    if (role == QLatin1String("keep"))
        out << "copy: " << (keeper.claim() && keeper.keep(example(), &error) ? "kept" : "failed") << Qt::endl;
    else
        out << "copy: " << (offered = recovery::leftBehind(folder)).works.size() << Qt::endl;
    QThread::sleep(60); // killed long before, unless the test died
    std::exit(0);
}

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
    void roundTripsRandomWork();
    void refusesBytes_data();
    void refusesBytes();
    void refusesEveryCut();
    void setsAsideDamagedFiles_data();
    void setsAsideDamagedFiles();
    void judgesLocks_data();
    void judgesLocks();
    void neverOffersRunningCopy();
    void keepsOwnSlot();
    void unwritableFolder_data();
    void unwritableFolder();
};

void TestRecovery::initTestCase()
{
    const QString role = qEnvironmentVariable(childRole);
    if (!role.isEmpty())
        runAsCopy(role.section(QLatin1Char(' '), 0, 0), role.section(QLatin1Char(' '), 1));
}

void TestRecovery::roundTrip_data()
{
    QTest::addColumn<Work>("work");
    QTest::newRow("typed names with ; quotes CRLF accents") << example();
    QTest::newRow("empty list before any Calculer")
        << exampleWith([](Work &w) { w.list.clear(); w.listComputedFor.reset(); w.listTyped = false; });
    QTest::newRow("fixed prizes, typing printed")
        << exampleWith([](Work &w) {
               w.listComputedFor->mode = prizes::PrizeMode::Fixed;
               w.listComputedFor->values = {100, 50, 25, 10, 5};
               w.listTypingPrinted = true;
           });
    QTest::newRow("settings saved: none unsaved") << exampleWith([](Work &w) { w.unsavedSettings.reset(); });
    QTest::newRow("unsaved crest path with ; that save.ini refuses")
        << exampleWith([](Work &w) { w.unsavedSettings->crestPath = QStringLiteral("C:/a;b/é 😀.png"); });
    QTest::newRow("price save.ini would read in single precision")
        << exampleWith([](Work &w) { w.unsavedSettings->betPrice = 3.3; w.unsavedSettings->blackPrice = 0.1 + 0.2; });
    QTest::newRow("emoji, tabs, lone CR in the list and category")
        << exampleWith([](Work &w) { w.list = QStringLiteral("😀\tA\rB\u2028C\\n"); w.category = QStringLiteral("arc \"droit\";"); });
    QTest::newRow("counts at the ends of int")
        << exampleWith([](Work &w) { w.bets = INT_MAX; w.blacksPaid = INT_MIN; w.listComputedFor->pool = INT_MIN; });
    QTest::newRow("no time kept") << exampleWith([](Work &w) { w.keptAt = QDateTime(); });
    QTest::newRow("kept in local time") << exampleWith([](Work &w) { w.keptAt = QDateTime::currentDateTime(); });
    QTest::newRow("a list printed as a shoot of its own")
        << exampleWith([](Work &w) {
               w.listPrintedAs = journal::Shoot{QDate(2026, 12, 9), QStringLiteral("arc classique"),
                                                QStringLiteral("prixGeneral_arc_classique_2026-12-09_tir2.pdf")};
           });
    QTest::newRow("a pasted list of 9000 names, past 1 MiB: kept whole") << exampleWith([](Work &w) {
        for (int i = 0; i < 9000; ++i)
            w.list += QStringLiteral("<p>%1. Émile «\u00a0Le Gaucher\u00a0» Dupré-Lafontaine, 1er prix</p>\n").arg(i);
    });
}

void TestRecovery::roundTrip()
{
    QFETCH(Work, work);
    const QByteArray bytes = recovery::toBytes(work);
    QVERIFY(bytes.startsWith("Prix g\xC3\xA9n\xC3\xA9ral, travail en cours, format 2\n"));
    QCOMPARE(QString::fromUtf8(bytes).toUtf8(), bytes); // valid UTF-8
    const std::optional<Work> back = recovery::fromBytes(bytes);
    QVERIFY(back);
    QCOMPARE(*back, work);
    QCOMPARE(back->keptAt.offsetFromUtc(), work.keptAt.offsetFromUtc());
    // A file of an earlier version, format 1, without the shoot nor the
    // club's name: read as it stands.
    if (!work.listPrintedAs) {
        const qsizetype start = bytes.indexOf('\n') + 1, end = bytes.lastIndexOf('\n', bytes.size() - 2) + 1;
        QString json = QString::fromUtf8(bytes.mid(start, end - start)).remove("    \"listPrintedAs\": null,\n");
        json.remove(QRegularExpression("\\n *\"clubName\": \"[^\"]*\","));
        const QByteArray earlier = "Prix g\xC3\xA9n\xC3\xA9ral, travail en cours, format 1\n" + json.toUtf8() + "fin, "
                                   + QByteArray::number(json.toUtf8().size()) + " octets\n";
        Work before = work;
        if (before.unsavedSettings)
            before.unsavedSettings->clubName.clear();
        QCOMPARE(recovery::fromBytes(earlier).value_or(Work()), before);
    }
    // No file the program writes is one it would refuse to read.
    QVERIFY(bytes.size() <= recovery::maxWorkWriteSize);
}

void TestRecovery::roundTripsRandomWork()
{
    QRandomGenerator rng(37);
    for (int i = 0; i < 2000; ++i) {
        const Work work = randomWork(rng);
        const std::optional<Work> back = recovery::fromBytes(recovery::toBytes(work));
        QVERIFY2(back, qPrintable(QString::number(i)));
        QCOMPARE(*back, work);
    }
}

void TestRecovery::refusesBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray whole = recovery::toBytes(example());
    // The JSON edited, its size on the last line still right.
    const auto edited = [&whole](const char *from, const char *to) {
        const qsizetype start = whole.indexOf('\n') + 1, end = whole.lastIndexOf('\n', whole.size() - 2) + 1;
        const QByteArray json = whole.mid(start, end - start).replace(from, to);
        return whole.left(start) + json + "fin, " + QByteArray::number(json.size()) + " octets\n";
    };
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("foreign text") << QByteArray("Liste des archers\nZoé\n");
    QTest::newRow("spreadsheet's file: the journal") << QByteArray("\xEF\xBB\xBF" + journal::headerRow());
    QTest::newRow("save.ini line") << goodSettingsLine();
    QTest::newRow("byte-order mark a text editor added") << "\xEF\xBB\xBF" + whole;
    QTest::newRow("line ends an editor turned to CRLF") << QByteArray(whole).replace("\n", "\r\n");
    QTest::newRow("format of a later version") << QByteArray(whole).replace("format 2\n", "format 3\n");
    QTest::newRow("format 1 with the shoot of format 2") << QByteArray(whole).replace("format 2\n", "format 1\n");
    QTest::newRow("end line counting other bytes") << QByteArray(whole).replace(" octets", "0 octets");
    QTest::newRow("a field missing") << edited("\"bets\": 42,", "");
    QTest::newRow("a field unknown") << edited("\"bets\": 42,", "\"bets\": 42, \"x\": 1,");
    QTest::newRow("count written as text") << edited("\"bets\": 42,", "\"bets\": \"42\",");
    QTest::newRow("count with a fraction") << edited("\"bets\": 42,", "\"bets\": 4.2,");
    QTest::newRow("count beyond int") << edited("\"bets\": 42,", "\"bets\": 4294967338,");
    QTest::newRow("unknown prize mode") << edited("\"percentage\"", "\"pourcent\"");
    QTest::newRow("six main prizes") << edited("20\n", "20, 1, 1, 1\n");
    QTest::newRow("time that is no time") << edited("2026-12-09", "2026-13-09");
}

void TestRecovery::refusesBytes()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!recovery::fromBytes(bytes));
}

// A crash in the middle of a write can leave any prefix of the file.
void TestRecovery::refusesEveryCut()
{
    const QByteArray whole = recovery::toBytes(example());
    for (qsizetype size = 0; size < whole.size(); ++size)
        QVERIFY2(!recovery::fromBytes(whole.left(size)), qPrintable(QString::number(size)));
}

void TestRecovery::setsAsideDamagedFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray whole = recovery::toBytes(example());
    QTest::newRow("cut short by a crash") << "file" << whole.left(whole.size() / 2);
    QTest::newRow("cut in its last line") << "file" << whole.chopped(3);
    QTest::newRow("foreign text") << "file" << QByteArray("bonjour\n");
    QTest::newRow("empty, from a power cut") << "file" << QByteArray();
    QTest::newRow("saved by a spreadsheet") << "file" << QByteArray("Date;Heure\r\n2026-12-09;14:32\r\n");
    QTest::newRow("past the size the program writes, never read whole") << "large" << whole;
    QTest::newRow("a folder by that name") << "folder" << QByteArray();
    QTest::newRow("first set-aside name taken: never written over") << "taken" << QByteArray("bonjour\n");
#ifdef Q_OS_LINUX
    QTest::newRow("another account's file this one may not read: named, left in place") << "unreadable" << whole;
#endif
}

void TestRecovery::setsAsideDamagedFiles()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = fileOf(dir.path(), 1);
    if (kind == "folder")
        QVERIFY(QDir().mkpath(file + "/inside") && writeBytes(file + "/inside/a", "a"));
    else
        QVERIFY(writeBytes(file, bytes));
    // A hole past the end: as large as it says, without the disk to hold it.
    if (kind == "large")
        QVERIFY(QFile::resize(file, recovery::maxWorkFileSize + 1));
#ifdef Q_OS_LINUX
    if (kind == "unreadable") {
        // Only root can be another account for a moment (setfsuid).
        if (geteuid() != 0)
            QSKIP("run as root to read the file as another account");
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
        auto other = std::make_unique<testhelpers::OtherAccount>(dir.path(), file);
        QVERIFY(other->ok);
        const recovery::LeftBehind left = recovery::leftBehind(dir.path());
        other.reset();
        QVERIFY(left.works.isEmpty() && left.setAside.isEmpty());
        QCOMPARE(left.unread.size(), 1);
        QCOMPARE(left.unread[0].fileName, file);
        QVERIFY(!left.unread[0].why.isEmpty());
        QCOMPARE(readBytes(file), bytes); // left as it was, for its account
        return;
    }
#endif
    if (kind == "taken")
        QVERIFY(writeBytes(dir.filePath("recuperation-1-illisible.txt"), "earlier"));
    const QString keptAs = dir.filePath(kind == "taken" ? "recuperation-1-illisible-2.txt" : "recuperation-1-illisible.txt");

    const recovery::LeftBehind left = recovery::leftBehind(dir.path());
    QVERIFY(left.works.isEmpty());
    QCOMPARE(left.setAside, QStringList{keptAs});
    QVERIFY(!QFileInfo::exists(file));
    if (kind == "folder")
        QCOMPARE(readBytes(keptAs + "/inside/a"), QByteArray("a"));
    else if (kind == "large")
        QCOMPARE(QFileInfo(keptAs).size(), recovery::maxWorkFileSize + 1);
    else
        QCOMPARE(readBytes(keptAs), bytes);
    if (kind == "taken")
        QCOMPARE(readBytes(dir.filePath("recuperation-1-illisible.txt")), QByteArray("earlier"));

    const recovery::LeftBehind again = recovery::leftBehind(dir.path());
    QVERIFY(again.works.isEmpty() && again.setAside.isEmpty());
}

void TestRecovery::judgesLocks_data()
{
    QTest::addColumn<QByteArray>("lock");
    QTest::addColumn<int>("ageSeconds");
    QTest::addColumn<bool>("offered");
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid());
    const QByteArray app = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8();
    QTest::newRow("no lock: its copy ended long ago") << QByteArray() << -1 << true;
    QTest::newRow("lock blank after a power cut") << QByteArray() << 3600 << true;
    QTest::newRow("lock blank while its copy writes it") << QByteArray() << 0 << false;
    QTest::newRow("lock of a copy on another computer of a shared folder")
        << QByteArray("4242\nprixgeneral\nautre-poste\n0123456789abcdef\nfedcba\n") << 3600 << false;
    QTest::newRow("lock of this running process") << pid + '\n' + app + '\n' + host + '\n' << 3600 << false;
    if (!QSysInfo::bootUniqueId().isEmpty())
        QTest::newRow("lock from before the computer restarted")
            << pid + '\n' + app + '\n' + host + '\n' + QSysInfo::machineUniqueId() + "\nearlier-boot\n" << 3600 << true;
}

void TestRecovery::judgesLocks()
{
    QFETCH(QByteArray, lock);
    QFETCH(int, ageSeconds);
    QFETCH(bool, offered);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeBytes(fileOf(dir.path(), 1), recovery::toBytes(example())));
    // What a kill in the middle of its last write left: it goes with the slot.
    const QString unfinished = fileOf(dir.path(), 1) + ".Ab12Cd";
    QVERIFY(writeBytes(unfinished, recovery::toBytes(example()).left(100)));
    if (ageSeconds >= 0) {
        QFile file(lockOf(dir.path(), 1));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(lock) == lock.size() && file.flush());
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
    }

    const recovery::LeftBehind left = recovery::leftBehind(dir.path());
    QCOMPARE(left.works.size(), offered ? 1 : 0);
    QVERIFY(left.setAside.isEmpty());
    QVERIFY(QFileInfo::exists(fileOf(dir.path(), 1)));
    if (offered) {
        QCOMPARE(left.works[0].work, example());
        QVERIFY(recovery::release(left.works[0]));
        QCOMPARE(dirEntries(dir.path()), QStringList());
    } else {
        QCOMPARE(readBytes(lockOf(dir.path(), 1)), lock);
        QVERIFY(QFileInfo::exists(unfinished)); // its copy may be writing it
    }
}

// As it happens: another process runs, holds its slot, and is then killed.
void TestRecovery::neverOffersRunningCopy()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::unique_ptr<QProcess> running = startCopy("keep", dir.path());
    QCOMPARE(answerOf(*running), QByteArray("kept"));
    QVERIFY(QFileInfo::exists(fileOf(dir.path(), 1)));
    QVERIFY(recovery::leftBehind(dir.path()).works.isEmpty());
    recovery::Keeper second(dir.path());
    QVERIFY(second.claim());
    QCOMPARE(second.fileName(), fileOf(dir.path(), 2));

    running->kill(); // SIGKILL: no destructor, no discard
    QVERIFY(running->waitForFinished());
    QVERIFY(QFileInfo::exists(lockOf(dir.path(), 1)));

    // Two copies started at the same moment: one of them offers the work.
    const std::unique_ptr<QProcess> a = startCopy("offer", dir.path());
    const std::unique_ptr<QProcess> b = startCopy("offer", dir.path());
    const QByteArray offeredByA = answerOf(*a), offeredByB = answerOf(*b);
    QCOMPARE(QList<QByteArray>({offeredByA, offeredByB}).count("1"), 1);
    QCOMPARE(QList<QByteArray>({offeredByA, offeredByB}).count("0"), 1);
    QVERIFY(recovery::leftBehind(dir.path()).works.isEmpty()); // held by the copy that offers it
    (offeredByA == "1" ? a : b)->kill();
    (offeredByA == "1" ? a : b)->waitForFinished();

    const recovery::LeftBehind left = recovery::leftBehind(dir.path());
    QCOMPARE(left.works.size(), 1);
    Work kept = left.works[0].work;
    QVERIFY(qAbs(kept.keptAt.secsTo(QDateTime::currentDateTime())) < 120);
    kept.keptAt = example().keptAt;
    QCOMPARE(kept, example());
    (offeredByA == "1" ? b : a)->kill();
    (offeredByA == "1" ? b : a)->waitForFinished();
}

void TestRecovery::keepsOwnSlot()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString error;
    {
        recovery::Keeper copy(dir.path());
        QVERIFY(copy.claim());
        QVERIFY2(copy.keep(example(), &error), qPrintable(error));
        const std::optional<Work> kept = recovery::fromBytes(readBytes(copy.fileName()));
        QVERIFY(kept && qAbs(kept->keptAt.secsTo(QDateTime::currentDateTime())) < 60);
        QVERIFY(copy.discard()); // back to how it started
        QCOMPARE(dirEntries(dir.path()), QStringList{"recuperation-1.lock"});
        QVERIFY(copy.keep(example(), &error));
    } // ended without discard(), as by a crash the destructor never sees

    recovery::Keeper next(dir.path());
    QVERIFY(next.claim());
    QCOMPARE(next.fileName(), fileOf(dir.path(), 2)); // slot 1 holds work to offer
    const recovery::LeftBehind left = recovery::leftBehind(dir.path());
    QCOMPARE(left.works.size(), 1);
    QVERIFY2(next.takeBack(left.works[0], &error), qPrintable(error));
    QCOMPARE(recovery::fromBytes(readBytes(next.fileName())).value_or(Work()), left.works[0].work);
    QVERIFY(!next.takeBack(left.works[0], &error)); // taken once
    QCOMPARE(dirEntries(dir.path()), QStringList({"recuperation-2.lock", "recuperation-2.txt"}));
}

void TestRecovery::unwritableFolder_data()
{
    QTest::addColumn<QString>("obstacle");
    // Root writes past permission bits; no one creates a file under a file.
    QTest::newRow("folder under a plain file") << "not a folder";
#ifdef Q_OS_LINUX
    QTest::newRow("full disk") << "full disk";
#endif
}

void TestRecovery::unwritableFolder()
{
    QFETCH(QString, obstacle);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString folder = dir.filePath("file/folder");
    QVERIFY(writeBytes(dir.filePath("file"), "x"));
#ifdef Q_OS_LINUX
    std::unique_ptr<fulldisk::TinyDisk> disk;
    if (obstacle == "full disk") {
        disk = std::make_unique<fulldisk::TinyDisk>(dir.filePath("disk"), 64 * 1024);
        if (!disk->why.isEmpty())
            QSKIP(qPrintable("a small tmpfs needs root: " + disk->why));
        folder = QString(); // the working folder, on that disk
        QVERIFY(writeBytes("recuperation-1.txt", recovery::toBytes(example())));
        QFile filler("filler");
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(4096, 'x')) > 0) {
        }
    }
#endif
    recovery::Keeper keeper(folder);
    QVERIFY(!keeper.claim());
    QString error;
    QVERIFY(!keeper.keep(example(), &error) && !error.isEmpty());
    QVERIFY(!keeper.discard());
    QVERIFY(keeper.fileName().isEmpty());
    const recovery::LeftBehind left = recovery::leftBehind(folder);
    QVERIFY(left.setAside.isEmpty());
    if (obstacle == "full disk") {
        // Offered all the same, without a lock the disk has no room for;
        // not taken back, it waits for room, whole.
        QCOMPARE(left.works.size(), 1);
        QCOMPARE(left.works[0].work, example());
        QVERIFY(!keeper.takeBack(left.works[0], &error));
        QCOMPARE(recovery::fromBytes(readBytes("recuperation-1.txt")).value_or(Work()), example());
    } else {
        QVERIFY(left.works.isEmpty());
        QVERIFY(!recovery::setAside(QDir(folder).filePath("recuperation-1.txt")));
    }
}

QTEST_GUILESS_MAIN(TestRecovery)
#include "tst_recovery.moc"
