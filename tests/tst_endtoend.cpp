// The built program as a club runs it: a real X server, real key presses
// from outside the process, the PDF read back with pdftotext and "save.ini"
// compared byte for byte.
#include <QDir>
#include <QFile>
#include <QPoint>
#include <QSet>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <memory>

#include <dlfcn.h>
#include <unistd.h>

#if __has_include(<xcb/xcb.h>)
#include <xcb/xcb.h>
#define HAVE_XCB_HEADERS 1
#endif

namespace {

const QString windowTitlePattern = QStringLiteral("^Calcul Prix g.+n.+raux$");
// Inside comboBox, which sits at the top right of the fixed-width window.
const QPoint comboBoxSpot(530, 44);

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Every file and directory under dir with its bytes, to prove nothing changed.
QMap<QString, QByteArray> snapshot(const QString &dir)
{
    QMap<QString, QByteArray> entries;
    const QDir root(dir);
    const QFileInfoList infos = root.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                   | QDir::NoDotAndDotDot);
    for (const QFileInfo &info : infos) {
        if (info.isDir()) {
            entries.insert(info.fileName() + QLatin1Char('/'), QByteArray());
            const auto inner = snapshot(info.filePath());
            for (auto it = inner.begin(); it != inner.end(); ++it)
                entries.insert(info.fileName() + QLatin1Char('/') + it.key(), it.value());
        } else {
            entries.insert(info.fileName(), readAll(info.filePath()));
        }
    }
    return entries;
}

// pdftotext breaks ligatures ("ﬀ") and spreads lines; compare on plain words.
QString plainText(const QByteArray &utf8)
{
    return QString::fromUtf8(utf8).normalized(QString::NormalizationForm_KC).simplified();
}

#ifdef HAVE_XCB_HEADERS
// Sends a client the requests a window manager would. The test runs without a
// window manager, and Debian's xdotool cannot send them: its windowclose
// destroys the window instead of asking the program to close it. libxcb is
// loaded at run time so the test needs no link flags of its own.
class XClient
{
public:
    explicit XClient(const QByteArray &display)
    {
        lib = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
        if (!lib)
            return;
        connect_ = reinterpret_cast<decltype(connect_)>(dlsym(lib, "xcb_connect"));
        hasError = reinterpret_cast<decltype(hasError)>(dlsym(lib, "xcb_connection_has_error"));
        disconnect = reinterpret_cast<decltype(disconnect)>(dlsym(lib, "xcb_disconnect"));
        internAtom = reinterpret_cast<decltype(internAtom)>(dlsym(lib, "xcb_intern_atom"));
        internAtomReply = reinterpret_cast<decltype(internAtomReply)>(dlsym(lib, "xcb_intern_atom_reply"));
        sendEvent = reinterpret_cast<decltype(sendEvent)>(dlsym(lib, "xcb_send_event"));
        flush = reinterpret_cast<decltype(flush)>(dlsym(lib, "xcb_flush"));
        if (!connect_ || !hasError || !disconnect || !internAtom || !internAtomReply || !sendEvent || !flush)
            return;
        connection = connect_(display.constData(), nullptr);
        if (hasError(connection)) {
            disconnect(connection);
            connection = nullptr;
        }
    }
    ~XClient()
    {
        if (connection)
            disconnect(connection);
        if (lib)
            dlclose(lib);
    }
    XClient(const XClient &) = delete;
    XClient &operator=(const XClient &) = delete;

    bool isValid() const { return connection != nullptr; }

    // protocol is for example "WM_DELETE_WINDOW", the title bar's close button.
    bool sendProtocol(quint32 window, const QByteArray &protocol)
    {
        const xcb_atom_t protocols = atom("WM_PROTOCOLS");
        const xcb_atom_t request = atom(protocol);
        if (protocols == XCB_ATOM_NONE || request == XCB_ATOM_NONE)
            return false;
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = protocols;
        event.data.data32[0] = request;
        event.data.data32[1] = XCB_CURRENT_TIME;
        sendEvent(connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&event));
        if (flush(connection) <= 0)
            return false;
        // A round trip: the server may drop requests of a client that hangs
        // up before they were read.
        return atom("WM_PROTOCOLS") == protocols;
    }

private:
    xcb_atom_t atom(const QByteArray &name)
    {
        const xcb_intern_atom_cookie_t cookie = internAtom(connection, 0, quint16(name.size()), name.constData());
        xcb_intern_atom_reply_t *reply = internAtomReply(connection, cookie, nullptr);
        if (!reply)
            return XCB_ATOM_NONE;
        const xcb_atom_t result = reply->atom;
        free(reply);
        return result;
    }

    void *lib = nullptr;
    xcb_connection_t *connection = nullptr;
    xcb_connection_t *(*connect_)(const char *, int *) = nullptr;
    int (*hasError)(xcb_connection_t *) = nullptr;
    void (*disconnect)(xcb_connection_t *) = nullptr;
    xcb_intern_atom_cookie_t (*internAtom)(xcb_connection_t *, uint8_t, uint16_t, const char *) = nullptr;
    xcb_intern_atom_reply_t *(*internAtomReply)(xcb_connection_t *, xcb_intern_atom_cookie_t,
                                                xcb_generic_error_t **) = nullptr;
    xcb_void_cookie_t (*sendEvent)(xcb_connection_t *, uint8_t, xcb_window_t, uint32_t, const char *) = nullptr;
    int (*flush)(xcb_connection_t *) = nullptr;
};
#endif

} // namespace

// A failed step inside a helper ends the test there, not only the helper.
#define STEP(call)                                                                                                    \
    do {                                                                                                              \
        call;                                                                                                         \
        if (QTest::currentTestFailed())                                                                               \
            return;                                                                                                   \
    } while (false)

class EndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void dayOfShoot();
    void settingsCannotBeWritten_data();
    void settingsCannotBeWritten();

private:
    // Runs a helper tool on the test's display; empty on failure or timeout.
    QByteArray tool(const QString &program, const QStringList &arguments, int timeoutMs = 20000,
                    bool *ok = nullptr);
    void xdotool(const QStringList &arguments);
    void keys(const QStringList &keyNames);
    void type(const QString &text);
    void startProgram();
    // The program's visible top-level windows.
    QSet<quint32> visibleWindows();
    // Windows the program showed after its main window.
    QList<quint32> newWindows();
    void focusMainWindow();
    void closeWindow(quint32 window);
    void expectCleanExit();
    QString sheetText(const QString &pdfPath);

    QProcess xvfb;
    QByteArray display;
    QString xdotoolPath;
    QString pdftotextPath;

    std::unique_ptr<QTemporaryDir> work;
    QString workPath;
    QString openedLog;
    QProcess program;
    quint32 mainWindow = 0;
    QSet<quint32> startWindows;
};

void EndToEnd::initTestCase()
{
#ifndef HAVE_XCB_HEADERS
    QSKIP("the xcb headers (libxcb1-dev) are missing: cannot close the window as a window manager does");
#endif
    const QString xvfbPath = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    xdotoolPath = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    pdftotextPath = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (xvfbPath.isEmpty() || xdotoolPath.isEmpty() || pdftotextPath.isEmpty())
        QSKIP("Xvfb, xdotool or pdftotext is missing (Debian: xvfb, xdotool, poppler-utils)");

    // Xvfb picks a free display itself and writes its number to stdout, so two
    // runs side by side never race for the same one.
    xvfb.setProgram(xvfbPath);
    xvfb.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                       QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                       QStringLiteral("1280x1024x24")});
    xvfb.setProcessChannelMode(QProcess::SeparateChannels);
    xvfb.setStandardErrorFile(QProcess::nullDevice());
    xvfb.start();
    QVERIFY2(xvfb.waitForStarted(10000), qPrintable(xvfb.errorString()));
    QByteArray announced;
    QTRY_VERIFY_WITH_TIMEOUT((announced += xvfb.readAllStandardOutput()).contains('\n')
                                 || xvfb.state() == QProcess::NotRunning,
                             20000);
    QVERIFY2(announced.contains('\n'), "Xvfb did not report a display number");
    display = ':' + announced.trimmed();
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X") + announced.trimmed()), 10000);
}

void EndToEnd::cleanupTestCase()
{
    if (xvfb.state() != QProcess::NotRunning) {
        xvfb.terminate();
        if (!xvfb.waitForFinished(10000))
            xvfb.kill();
        xvfb.waitForFinished(5000);
    }
}

void EndToEnd::init()
{
    work = std::make_unique<QTemporaryDir>();
    QVERIFY(work->isValid());
    // The program hands the opener the path of the directory it runs in, resolved.
    workPath = QFileInfo(work->path()).canonicalFilePath();
    QVERIFY(QDir(workPath).mkpath(QStringLiteral("bin")));
    QVERIFY(QDir(workPath).mkpath(QStringLiteral("runtime")));
    QFile::setPermissions(workPath + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    openedLog = workPath + QStringLiteral("/opened.txt");

    // Records what the program asks the desktop to open; no viewer ever starts.
    const QString opener = workPath + QStringLiteral("/bin/xdg-open");
    QVERIFY(writeAll(opener, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + openedLog.toUtf8() + "'\n"));
    QVERIFY(QFile::setPermissions(opener, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    mainWindow = 0;
}

void EndToEnd::cleanup()
{
    if (program.state() != QProcess::NotRunning) {
        program.kill();
        program.waitForFinished(10000);
    }
    // A read-only directory would outlive the test.
    if (work)
        QFile::setPermissions(workPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    work.reset();
}

QByteArray EndToEnd::tool(const QString &path, const QStringList &arguments, int timeoutMs, bool *ok)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
    process.setProcessEnvironment(env);
    process.start(path, arguments);
    bool finished = process.waitForStarted(10000) && process.waitForFinished(timeoutMs);
    if (!finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    const bool success = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (ok)
        *ok = success;
    return success ? process.readAllStandardOutput() : QByteArray();
}

void EndToEnd::xdotool(const QStringList &arguments)
{
    bool ok = false;
    tool(xdotoolPath, arguments, 20000, &ok);
    QVERIFY2(ok, qPrintable(QStringLiteral("xdotool ") + arguments.join(QLatin1Char(' '))));
}

void EndToEnd::keys(const QStringList &keyNames)
{
    xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} + keyNames);
}

void EndToEnd::type(const QString &text)
{
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("60"), text});
}

void EndToEnd::startProgram()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), workPath + QStringLiteral("/runtime"));
    env.insert(QStringLiteral("PATH"), workPath + QStringLiteral("/bin:") + env.value(QStringLiteral("PATH")));
    // Under a real X server the toolkit talks to D-Bus, and libdbus keeps a
    // buffer for the life of the process. The sanitizer build would call that
    // a leak of the program's; every other leak still counts.
    const QString suppressions = workPath + QStringLiteral("/lsan.supp");
    QVERIFY(writeAll(suppressions, "leak:libdbus-1.so\n"));
    const QString lsan = env.value(QStringLiteral("LSAN_OPTIONS"));
    env.insert(QStringLiteral("LSAN_OPTIONS"), (lsan.isEmpty() ? QString() : lsan + QLatin1Char(':'))
                                                   + QStringLiteral("suppressions=") + suppressions
                                                   + QStringLiteral(":print_suppressions=0"));
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(workPath);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.setStandardOutputFile(QProcess::nullDevice());
    program.start(QStringLiteral(PRIXGENERAL_EXE), {});
    QVERIFY2(program.waitForStarted(10000), qPrintable(program.errorString()));

    // The sanitizer build starts slowly: allow it half a minute.
    const QByteArray found = tool(xdotoolPath,
                                  {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                                   QStringLiteral("--name"), windowTitlePattern},
                                  30000);
    const QList<QByteArray> ids = found.trimmed().split('\n');
    QVERIFY2(!found.trimmed().isEmpty(), "the window \"Calcul Prix généraux\" did not appear");
    QCOMPARE(ids.size(), 1);
    mainWindow = ids.first().toUInt();
    QVERIFY(mainWindow != 0);
    startWindows = visibleWindows();
    QVERIFY(startWindows.contains(mainWindow));
}

QSet<quint32> EndToEnd::visibleWindows()
{
    const QByteArray found = tool(xdotoolPath, {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                QStringLiteral("--pid"), QString::number(program.processId()),
                                                QStringLiteral("--name"), QString()});
    QSet<quint32> windows;
    for (const QByteArray &id : found.trimmed().split('\n')) {
        if (!id.isEmpty())
            windows.insert(id.toUInt());
    }
    return windows;
}

QList<quint32> EndToEnd::newWindows()
{
    const QSet<quint32> now = visibleWindows();
    QList<quint32> added;
    for (quint32 window : now) {
        if (!startWindows.contains(window))
            added.append(window);
    }
    return added;
}

void EndToEnd::focusMainWindow()
{
    // Without a window manager the window becomes active only when clicked.
    // A click on comboBox, the first widget of the focus order, opens its
    // list; Escape closes it and leaves the keyboard focus there.
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(mainWindow),
             QString::number(comboBoxSpot.x()), QString::number(comboBoxSpot.y()), QStringLiteral("click"),
             QStringLiteral("1")});
    QTRY_COMPARE_WITH_TIMEOUT(newWindows().size(), 1, 20000);
    keys({QStringLiteral("Escape")});
    QTRY_COMPARE_WITH_TIMEOUT(newWindows().size(), 0, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(tool(xdotoolPath, {QStringLiteral("getwindowfocus")}).trimmed().toUInt(), mainWindow,
                              20000);
    // Park the pointer outside the window so that no hover interferes.
    xdotool({QStringLiteral("mousemove"), QStringLiteral("1270"), QStringLiteral("1010")});
}

void EndToEnd::closeWindow(quint32 window)
{
#ifdef HAVE_XCB_HEADERS
    // The close button of the title bar.
    XClient x(display);
    QVERIFY(x.isValid());
    QVERIFY(x.sendProtocol(window, "WM_DELETE_WINDOW"));
#else
    Q_UNUSED(window);
#endif
}

void EndToEnd::expectCleanExit()
{
    closeWindow(mainWindow);
    QVERIFY2(program.waitForFinished(30000), "the program did not end after its window was closed");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

QString EndToEnd::sheetText(const QString &pdfPath)
{
    bool ok = false;
    const QByteArray text = tool(pdftotextPath, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdfPath,
                                                 QStringLiteral("-")},
                                 20000, &ok);
    return ok ? plainText(text) : QString();
}

// Verifies each piece appears in the text, in the given order.
static bool containsInOrder(const QString &text, const QStringList &pieces, QString *missing)
{
    qsizetype from = 0;
    for (const QString &piece : pieces) {
        const qsizetype at = text.indexOf(piece, from);
        if (at < 0) {
            *missing = piece;
            return false;
        }
        from = at + piece.size();
    }
    return true;
}

void EndToEnd::dayOfShoot()
{
    // 3.50 € a bet, 0.50 € a black, 3 € minimum gain, 20 % costs, three
    // prizes of 40, 25 and 15 % rounded to 5 €; prizes 4 and 5 hold values
    // that are not in use and must survive a save.
    const QByteArray settings = "3.5;0.5;3;20;3;pourcent;40;25;15;7;9;:/blason.png;5";
    const QString settingsPath = workPath + QStringLiteral("/save.ini");
    QVERIFY(writeAll(settingsPath, settings));

    STEP(startProgram());
    STEP(focusMainWindow());

    // Focus order: comboBox, nbMises, nbNoirsPayes, "Calculer", "Imprimer".
    STEP(keys({QStringLiteral("Tab")}));
    STEP(type(QStringLiteral("123")));
    STEP(keys({QStringLiteral("Tab")}));
    STEP(type(QStringLiteral("45")));
    STEP(keys({QStringLiteral("Tab"), QStringLiteral("space"), QStringLiteral("Tab"), QStringLiteral("space")}));

    const QString pdfPath = workPath + QStringLiteral("/prixGeneral_arc_classique.pdf");
    QTRY_VERIFY_WITH_TIMEOUT(readAll(openedLog).endsWith('\n'), 30000);
    QCOMPARE(QString::fromUtf8(readAll(openedLog)), pdfPath + QLatin1Char('\n'));
    QVERIFY(readAll(pdfPath).startsWith("%PDF-"));

    // Receipts 3.50 × 123 = 430.50, cut to 430; costs 86; blacks 22.5;
    // pool 344 − 22.5 = 321.5, cut to 321. Prizes to the nearest 5 €:
    // 128.4 → 130, 80.25 → 80, 48.15 → 50; 61 € left pays 20 places at 3 €
    // (4th to 23rd) and leaves 1 €.
    QString missing;
    const QString text = sheetText(pdfPath);
    QVERIFY2(containsInOrder(text,
                             {QStringLiteral("Prix général arc classique"), QStringLiteral("Montant des prix"),
                              QStringLiteral("Somme à distribuer : 321 €"), QStringLiteral("123 mises effectuées"),
                              QStringLiteral("45 noirs payés"), QStringLiteral("1er (40 %) : 130 €"),
                              QStringLiteral("2ème (25 %) : 80 €"), QStringLiteral("3ème (15 %) : 50 €"),
                              QStringLiteral("du 4ème au 23ème : 3 €"), QStringLiteral("Fraction honteux : 1 €")},
                             &missing),
             qPrintable(QStringLiteral("\"%1\" missing from: %2").arg(missing, text)));
    QVERIFY2(!text.contains(QStringLiteral("4ème (")) && !text.contains(QStringLiteral("5ème (")),
             "prizes beyond the three in use reached the sheet");

    // On to the "Configuration" tab: sommeNoirs, sommePrix, then the tab bar.
    // The settings read at start must be what "Sauvegarder" writes back, so
    // the file on disk is replaced first: only a real save restores it.
    QVERIFY(writeAll(settingsPath, "replaced behind the program's back"));
    STEP(keys({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Right")}));
    // tarifMise, tarifNoir, gainMini, pourcentFrais, one stop per radio group
    // (unEuro; radioPourcent), nbPrix, the three prize rows in use,
    // blasonPrint, "...", then "Sauvegarder".
    QStringList toSave;
    for (int i = 0; i < 13; ++i)
        toSave << QStringLiteral("Tab");
    STEP(keys(toSave + QStringList{QStringLiteral("space")}));
    QTRY_COMPARE_WITH_TIMEOUT(readAll(settingsPath), settings, 20000);

    STEP(expectCleanExit());
    QCOMPARE(readAll(settingsPath), settings);
}

void EndToEnd::settingsCannotBeWritten_data()
{
    QTest::addColumn<bool>("settingsIsDirectory");
    QTest::newRow("save.ini is a directory") << true;
    QTest::newRow("save.ini unreadable in a read-only directory") << false;
}

void EndToEnd::settingsCannotBeWritten()
{
    QFETCH(bool, settingsIsDirectory);
    const QString settingsPath = workPath + QStringLiteral("/save.ini");
    if (settingsIsDirectory) {
        QVERIFY(QDir(workPath).mkdir(QStringLiteral("save.ini")));
        QVERIFY(writeAll(settingsPath + QStringLiteral("/keep.txt"), "3.5;0.5;3;20;3;fixe;1;2;3;4;5;x;5"));
    } else {
        if (geteuid() == 0)
            QSKIP("root reads and writes whatever the permissions say");
        QVERIFY(writeAll(settingsPath, "9;9;9;9;5;fixe;1;2;3;4;5;x;5"));
        QVERIFY(QFile::setPermissions(settingsPath, QFileDevice::Permissions()));
    }
    STEP(startProgram());
    STEP(focusMainWindow());

    // The form's own values: 3.50 € a bet, 0.50 € a black, 20 % costs, one
    // prize of 0 %, 3 € minimum gain. 10 bets and 5 blacks make the pool
    // 35 − 7 − 2.5 = 25.5, cut to 25; 25 € pays 8 places and leaves 1 €.
    STEP(keys({QStringLiteral("Tab")}));
    STEP(type(QStringLiteral("10")));
    STEP(keys({QStringLiteral("Tab")}));
    STEP(type(QStringLiteral("5")));
    STEP(keys({QStringLiteral("Tab"), QStringLiteral("space"), QStringLiteral("Tab"), QStringLiteral("space")}));
    const QString pdfPath = workPath + QStringLiteral("/prixGeneral_arc_classique.pdf");
    QTRY_VERIFY_WITH_TIMEOUT(readAll(openedLog).endsWith('\n'), 30000);
    QString missing;
    const QString text = sheetText(pdfPath);
    QVERIFY2(containsInOrder(text,
                             {QStringLiteral("Somme à distribuer : 25 €"), QStringLiteral("10 mises effectuées"),
                              QStringLiteral("5 noirs payés"), QStringLiteral("1er (0 %) : 0 €"),
                              QStringLiteral("du 2ème au 9ème : 3 €"), QStringLiteral("Fraction honteux : 1 €")},
                             &missing),
             qPrintable(QStringLiteral("\"%1\" missing from: %2").arg(missing, text)));

    // The directory turns read-only only now: the sheet above had to be written.
    if (!settingsIsDirectory)
        QVERIFY(QFile::setPermissions(workPath, QFile::ReadOwner | QFile::ExeOwner));
    const auto before = snapshot(workPath);

    // Configuration tab, then "Sauvegarder": one prize row in use this time.
    STEP(keys({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Right")}));
    QStringList toSave;
    for (int i = 0; i < 11; ++i)
        toSave << QStringLiteral("Tab");
    STEP(keys(toSave + QStringList{QStringLiteral("space")}));

    // The error box is a second window of the program.
    QTRY_COMPARE_WITH_TIMEOUT(newWindows().size(), 1, 20000);
    const quint32 box = newWindows().value(0);
    // The box takes the keyboard; Return presses its one button, "OK".
    QTRY_COMPARE_WITH_TIMEOUT(tool(xdotoolPath, {QStringLiteral("getwindowfocus")}).trimmed().toUInt(), box, 20000);
    STEP(keys({QStringLiteral("Return")}));
    QTRY_COMPARE_WITH_TIMEOUT(newWindows().size(), 0, 20000);

    QCOMPARE(snapshot(workPath), before);
    STEP(expectCleanExit());
}

QTEST_GUILESS_MAIN(EndToEnd)
#include "tst_endtoend.moc"
