// The built program as a club runs it: a real X server, real key presses
// from outside the process, the PDF read back with pdftotext and "save.ini"
// compared byte for byte.
#include "windowtest.h"

#include <cstdlib>
#include <memory>

#include <dlfcn.h>
#include <unistd.h>

#if __has_include(<xcb/xcb.h>)
#include <xcb/xcb.h>
#define HAVE_XCB_HEADERS 1
#endif

using windowtest::readBytes;
using windowtest::writeBytes;

namespace {

const QString windowTitlePattern = "^Calcul Prix g.+n.+raux$";
// Inside comboBox, which sits at the top right of the fixed-width window.
const QPoint comboBoxSpot(530, 44);

// Every file and directory under dir with its bytes, to prove nothing changed;
// the work the program keeps for a crash follows the typing, on its own time.
QMap<QString, QByteArray> snapshot(const QString &dir)
{
    QMap<QString, QByteArray> entries;
    const auto infos = QDir(dir).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &info : infos) {
        if (info.fileName().startsWith("recuperation-"))
            continue;
        const QString name = info.fileName() + (info.isDir() ? "/" : "");
        entries.insert(name, info.isDir() ? QByteArray() : readBytes(info.filePath()));
        const auto inner = info.isDir() ? snapshot(info.filePath()) : QMap<QString, QByteArray>();
        for (auto it = inner.begin(); it != inner.end(); ++it)
            entries.insert(name + it.key(), it.value());
    }
    return entries;
}

// The first piece that does not follow the ones before it in text, or an
// empty string when all appear in order.
QString missingInOrder(const QString &text, const QStringList &pieces)
{
    qsizetype from = 0;
    for (const QString &piece : pieces) {
        from = text.indexOf(piece, from);
        if (from < 0)
            return "\"" + piece + "\" missing from: " + text;
        from += piece.size();
    }
    return QString();
}

#ifdef HAVE_XCB_HEADERS
// Sends the program what a window manager's close button would. The test
// runs without a window manager, and Debian's xdotool cannot send it: its
// windowclose destroys the window instead of asking the program to close it.
// libxcb is loaded at run time so the test needs no link flags of its own.
bool sendDeleteWindow(const QByteArray &display, quint32 window)
{
    void *lib = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!lib)
        return false;
    const auto resolve = [lib](auto &function, const char *name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(lib, name));
        return function != nullptr;
    };
    xcb_connection_t *(*connect)(const char *, int *) = nullptr;
    void (*disconnect)(xcb_connection_t *) = nullptr;
    xcb_intern_atom_cookie_t (*internAtom)(xcb_connection_t *, uint8_t, uint16_t, const char *) = nullptr;
    xcb_intern_atom_reply_t *(*internAtomReply)(xcb_connection_t *, xcb_intern_atom_cookie_t,
                                                xcb_generic_error_t **) = nullptr;
    xcb_void_cookie_t (*sendEvent)(xcb_connection_t *, uint8_t, xcb_window_t, uint32_t, const char *) = nullptr;
    int (*flush)(xcb_connection_t *) = nullptr;
    bool sent = false;
    if (resolve(connect, "xcb_connect") && resolve(disconnect, "xcb_disconnect") && resolve(internAtom, "xcb_intern_atom")
        && resolve(internAtomReply, "xcb_intern_atom_reply") && resolve(sendEvent, "xcb_send_event")
        && resolve(flush, "xcb_flush")) {
        // A connection that failed answers no atom, so nothing is sent on it.
        xcb_connection_t *connection = connect(display.constData(), nullptr);
        const auto atom = [&](const QByteArray &name) {
            xcb_intern_atom_reply_t *reply = internAtomReply(
                connection, internAtom(connection, 0, quint16(name.size()), name.constData()), nullptr);
            const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
            free(reply);
            return result;
        };
        const xcb_atom_t protocols = atom("WM_PROTOCOLS"), request = atom("WM_DELETE_WINDOW");
        if (protocols != XCB_ATOM_NONE && request != XCB_ATOM_NONE) {
            xcb_client_message_event_t event{};
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 32;
            event.window = window;
            event.type = protocols;
            event.data.data32[0] = request;
            event.data.data32[1] = XCB_CURRENT_TIME;
            sendEvent(connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&event));
            // A round trip after the flush: the server may drop requests of a
            // client that hangs up before they were read.
            sent = flush(connection) > 0 && atom("WM_PROTOCOLS") == protocols;
        }
        disconnect(connection);
    }
    dlclose(lib);
    return sent;
}
#endif

} // namespace

// A failed step inside a helper ends the test there, not only the helper.
#define STEP(call) do { call; if (QTest::currentTestFailed()) return; } while (false)

class EndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void dayOfShoot_data();
    void dayOfShoot();
    void settingsCannotBeWritten_data();
    void settingsCannotBeWritten();
    void crashKeepsWork();

private:
    // Runs a helper tool on the test's display; empty on failure or timeout.
    QByteArray tool(const QString &program, const QStringList &arguments, int timeoutMs = 20000,
                    bool *ok = nullptr);
    void xdotool(const QStringList &arguments);
    // Key names split by spaces; "Tab*3" presses Tab three times.
    void keys(const QString &keyNames);
    void startProgram();
    // The program's visible top-level windows.
    QSet<quint32> visibleWindows();
    // Windows the program showed after its main window.
    QList<quint32> newWindows() { return (visibleWindows() - startWindows).values(); }
    quint32 focusedWindow() { return tool(xdotoolPath, {"getwindowfocus"}).trimmed().toUInt(); }
    void focusMainWindow();
    // Types the counts on the "Calcul" tab, presses "Calculer" then
    // "Imprimer", and reads back the sheet the program asked to open. With
    // `correctedBets` typed after "Calculer", Ctrl+P prints and Enter
    // answers the question that comes.
    void printSheet(const QString &bets, const QString &blacks, QString *text, const QString &correctedBets = {});
    void expectCleanExit();

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
    const QString xvfbPath = QStandardPaths::findExecutable("Xvfb");
    xdotoolPath = QStandardPaths::findExecutable("xdotool");
    pdftotextPath = QStandardPaths::findExecutable("pdftotext");
    if (xvfbPath.isEmpty() || xdotoolPath.isEmpty() || pdftotextPath.isEmpty())
        QSKIP("Xvfb, xdotool or pdftotext is missing (Debian: xvfb, xdotool, poppler-utils)");

    // Xvfb picks a free display itself and writes its number to stdout, so two
    // runs side by side never race for the same one.
    xvfb.setProgram(xvfbPath);
    xvfb.setArguments({"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1280x1024x24"});
    xvfb.setStandardErrorFile(QProcess::nullDevice());
    xvfb.start();
    QVERIFY2(xvfb.waitForStarted(10000), qPrintable(xvfb.errorString()));
    QByteArray announced;
    QTRY_VERIFY_WITH_TIMEOUT((announced += xvfb.readAllStandardOutput()).contains('\n')
                                 || xvfb.state() == QProcess::NotRunning,
                             20000);
    QVERIFY2(announced.contains('\n'), "Xvfb did not report a display number");
    display = ':' + announced.trimmed();
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists("/tmp/.X11-unix/X" + announced.trimmed()), 10000);
}

void EndToEnd::cleanupTestCase()
{
    xvfb.terminate();
    if (!xvfb.waitForFinished(10000))
        xvfb.kill(); // the QProcess destructor waits for it
}

void EndToEnd::init()
{
    work = std::make_unique<QTemporaryDir>();
    QVERIFY(work->isValid());
    // The program hands the opener the path of the directory it runs in, resolved.
    workPath = QFileInfo(work->path()).canonicalFilePath();
    QVERIFY(QDir(workPath).mkpath("bin") && QDir(workPath).mkpath("runtime"));
    QFile::setPermissions(workPath + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    openedLog = workPath + "/opened.txt";
    // Records what the program asks the desktop to open; no viewer ever starts.
    QVERIFY(windowtest::installFakeOpener(workPath + "/bin", openedLog));
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
    env.insert("DISPLAY", QString::fromLatin1(display));
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
    QVERIFY2(ok, qPrintable("xdotool " + arguments.join(' ')));
}

void EndToEnd::keys(const QString &keyNames)
{
    QStringList arguments = {"key", "--delay", "60"};
    for (const QString &key : keyNames.split(' ')) {
        for (int i = 0; i < qMax(1, key.section('*', 1).toInt()); ++i)
            arguments << key.section('*', 0, 0);
    }
    xdotool(arguments);
}

void EndToEnd::startProgram()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", QString::fromLatin1(display));
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("XDG_RUNTIME_DIR", workPath + "/runtime");
#ifdef __SANITIZE_ADDRESS__
    // No leak check in the program started here: at its exit under a real X
    // server, where Qt runs X and D-Bus threads, LeakSanitizer's own tracer
    // now and then crashes ("Tracer caught signal 11"), failing the suite for
    // no fault of the program. The window tests run the same code in-process
    // under the leak check; ASan and UBSan still watch this run.
    const QString asan = env.value("ASAN_OPTIONS");
    env.insert("ASAN_OPTIONS", (asan.isEmpty() ? QString() : asan + ':') + "detect_leaks=0");
#endif
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Qt 6.8 asks the desktop portal a question at start-up and frees it only
    // once answered; none answers here, and the sanitizer would blame us.
    env.insert("QT_NO_XDG_DESKTOP_PORTAL", "1");
#endif
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(workPath);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.setStandardOutputFile(QProcess::nullDevice());
    // PRIXGENERAL_PROGRAM drives another build of it, such as the installed package.
    program.start(qEnvironmentVariable("PRIXGENERAL_PROGRAM", PRIXGENERAL_EXE), {});
    QVERIFY2(program.waitForStarted(10000), qPrintable(program.errorString()));

    // The sanitizer build starts slowly: allow it half a minute.
    const QByteArray found =
        tool(xdotoolPath, {"search", "--sync", "--onlyvisible", "--name", windowTitlePattern}, 30000).trimmed();
    QVERIFY2(!found.isEmpty(), "the window \"Calcul Prix généraux\" did not appear");
    QCOMPARE(found.split('\n').size(), 1);
    mainWindow = found.toUInt();
    QVERIFY(mainWindow != 0);
    startWindows = visibleWindows();
    QVERIFY(startWindows.contains(mainWindow));
}

QSet<quint32> EndToEnd::visibleWindows()
{
    const QByteArray found = tool(
        xdotoolPath, {"search", "--onlyvisible", "--pid", QString::number(program.processId()), "--name", ""});
    QSet<quint32> windows;
    for (const QByteArray &id : found.trimmed().split('\n')) {
        if (!id.isEmpty())
            windows.insert(id.toUInt());
    }
    return windows;
}

void EndToEnd::focusMainWindow()
{
    // Without a window manager the window becomes active only when clicked.
    // A click on comboBox, the first widget of the focus order, opens its
    // list; Escape closes it and leaves the keyboard focus there.
    xdotool({"mousemove", "--window", QString::number(mainWindow), QString::number(comboBoxSpot.x()),
             QString::number(comboBoxSpot.y()), "click", "1"});
    QTRY_COMPARE_WITH_TIMEOUT(newWindows().size(), 1, 20000);
    keys("Escape");
    QTRY_COMPARE_WITH_TIMEOUT(newWindows().size(), 0, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(focusedWindow(), mainWindow, 20000);
    // Park the pointer outside the window so that no hover interferes.
    xdotool({"mousemove", "1270", "1010"});
}

void EndToEnd::printSheet(const QString &bets, const QString &blacks, QString *text, const QString &correctedBets)
{
    // Focus order: comboBox, nbMises, nbNoirsPayes, "Calculer", "Imprimer".
    STEP(keys("Tab"));
    STEP(xdotool({"type", "--delay", "60", bets}));
    STEP(keys("Tab"));
    STEP(xdotool({"type", "--delay", "60", blacks}));
    if (correctedBets.isEmpty()) {
        STEP(keys("Tab space Tab space"));
    } else {
        // Back to nbMises, which selects its text on the way in.
        STEP(keys("Tab space shift+Tab shift+Tab"));
        STEP(xdotool({"type", "--delay", "60", correctedBets}));
        STEP(keys("ctrl+p"));
        // The question is a second window of the program and takes the keyboard.
        QTRY_COMPARE_WITH_TIMEOUT(newWindows().size(), 1, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(focusedWindow(), newWindows().value(0), 20000);
        STEP(keys("Return"));
    }
    const QString pdfPath = workPath + "/prixGeneral_arc_classique.pdf";
    QTRY_VERIFY_WITH_TIMEOUT(readBytes(openedLog).endsWith('\n'), 30000);
    QCOMPARE(QString::fromUtf8(readBytes(openedLog)), pdfPath + '\n');
    QVERIFY(readBytes(pdfPath).startsWith("%PDF-"));
    bool ok = false;
    const QByteArray utf8 = tool(pdftotextPath, {"-enc", "UTF-8", pdfPath, "-"}, 20000, &ok);
    QVERIFY(ok);
    // pdftotext breaks ligatures ("ﬀ") and spreads lines; compare on plain words.
    *text = QString::fromUtf8(utf8).normalized(QString::NormalizationForm_KC).simplified();
}

void EndToEnd::expectCleanExit()
{
#ifdef HAVE_XCB_HEADERS
    QVERIFY(sendDeleteWindow(display, mainWindow));
#endif
    QVERIFY2(program.waitForFinished(30000), "the program did not end after its window was closed");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

void EndToEnd::dayOfShoot_data()
{
    QTest::addColumn<QString>("correctedBets");
    QTest::addColumn<QString>("names"); // typed into the list after the print
    QTest::newRow("counts, Calculer, Imprimer, Sauvegarder") << "" << "";
    QTest::newRow("count corrected after Calculer: Ctrl+P, Enter recalculates, the sheet adds up") << "300" << "";
    QTest::newRow("names typed, the close button asks: Enter keeps them; printed, it closes") << "" << "Jean Dupont";
}

void EndToEnd::dayOfShoot()
{
    QFETCH(QString, correctedBets);
    QFETCH(QString, names);
    // 3.50 € a bet, 0.50 € a black, 3 € minimum gain, 20 % costs, three
    // prizes of 40, 25 and 15 % rounded to 5 €; prizes 4 and 5 hold values
    // that are not in use and must survive a save.
    const QByteArray settings = "3.5;0.5;3;20;3;pourcent;40;25;15;7;9;:/blason.png;5";
    const QString settingsPath = workPath + "/save.ini";
    QVERIFY(writeBytes(settingsPath, settings));

    STEP(startProgram());
    STEP(focusMainWindow());
    QString text;
    STEP(printSheet("123", "45", &text, correctedBets));
    QVERIFY2(testhelpers::sheetImbalance(text).isEmpty(), qPrintable(text));
#ifdef HAVE_XCB_HEADERS
    if (!names.isEmpty()) {
        // After "Imprimer": sommeNoirs, sommePrix, the tab bar, sommeEncaisse, then the list.
        STEP(keys("Tab Tab Tab Tab Tab"));
        STEP(xdotool({"type", "--delay", "60", names}));
        QVERIFY(sendDeleteWindow(display, mainWindow));
        QTRY_COMPARE_WITH_TIMEOUT(newWindows().size(), 1, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(focusedWindow(), newWindows().value(0), 20000);
        STEP(keys("Return"));
        QTRY_COMPARE_WITH_TIMEOUT(newWindows().size(), 0, 20000);
        QCOMPARE(program.state(), QProcess::Running);
        // On a sheet, the names are no longer lost by closing. (Without a
        // window manager, the keyboard comes back to the window by a click.)
        STEP(focusMainWindow());
        STEP(keys("ctrl+p"));
        QTRY_COMPARE_WITH_TIMEOUT(readBytes(openedLog).count('\n'), 2, 30000);
        bool ok = false;
        const QByteArray sheet =
            tool(pdftotextPath, {"-enc", "UTF-8", workPath + "/prixGeneral_arc_classique.pdf", "-"}, 20000, &ok);
        QVERIFY2(ok && sheet.contains(names.toUtf8()), sheet.constData());
        STEP(expectCleanExit());
        return;
    }
    if (!correctedBets.isEmpty()) {
        // 1050 − 210 − 22.5: the list shares out what the sheet announces.
        QVERIFY2(text.contains("Somme à distribuer : 817 € 300 mises effectuées"), qPrintable(text));
        STEP(expectCleanExit());
        return;
    }
#endif

    // Receipts 3.50 × 123 = 430.50, cut to 430; costs 86; blacks 22.5;
    // pool 344 − 22.5 = 321.5, cut to 321. Prizes to the nearest 5 €:
    // 128.4 → 130, 80.25 → 80, 48.15 → 50; 61 € left pays 20 places at 3 €
    // (4th to 23rd) and leaves 1 €.
    const QString missing = missingInOrder(
        text, {"Prix général arc classique", "Montant des prix", "Somme à distribuer : 321 €", "123 mises effectuées",
               "45 noirs payés", "1er (40 %) : 130 €", "2ème (25 %) : 80 €", "3ème (15 %) : 50 €",
               "du 4ème au 23ème : 3 €", "Fraction honteux : 1 €"});
    QVERIFY2(missing.isEmpty(), qPrintable(missing));
    QVERIFY2(!text.contains("4ème (") && !text.contains("5ème ("), "prizes beyond the three in use reached the sheet");

    // On to the "Configuration" tab: sommeNoirs, sommePrix, then the tab bar.
    // The settings read at start must be what "Sauvegarder" writes back, so
    // the file on disk is replaced first: only a real save restores it.
    QVERIFY(writeBytes(settingsPath, "replaced behind the program's back"));
    // tarifMise, tarifNoir, gainMini, pourcentFrais, one stop per radio group
    // (unEuro; radioPourcent), nbPrix, the three prize rows in use,
    // blasonPrint, "...", the club's name, then "Sauvegarder".
    STEP(keys("Tab*3 Right Tab*14 space"));
    QTRY_COMPARE_WITH_TIMEOUT(readBytes(settingsPath), settings, 20000);

    STEP(expectCleanExit());
    QCOMPARE(readBytes(settingsPath), settings);
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
    const QString settingsPath = workPath + "/save.ini";
    if (settingsIsDirectory) {
        QVERIFY(QDir(workPath).mkdir("save.ini"));
        QVERIFY(writeBytes(settingsPath + "/keep.txt", "3.5;0.5;3;20;3;fixe;1;2;3;4;5;x;5"));
    } else {
        if (geteuid() == 0)
            QSKIP("root reads and writes whatever the permissions say");
        QVERIFY(writeBytes(settingsPath, "9;9;9;9;5;fixe;1;2;3;4;5;x;5"));
        QVERIFY(QFile::setPermissions(settingsPath, QFileDevice::Permissions()));
    }
    STEP(startProgram());
    STEP(focusMainWindow());

    // The form's own values: 3.50 € a bet, 0.50 € a black, 20 % costs, one
    // prize of 0 %, 3 € minimum gain. 10 bets and 5 blacks make the pool
    // 35 − 7 − 2.5 = 25.5, cut to 25; 25 € pays 8 places and leaves 1 €.
    QString text;
    STEP(printSheet("10", "5", &text));
    const QString missing = missingInOrder(text, {"Somme à distribuer : 25 €", "10 mises effectuées", "5 noirs payés",
                                                  "1er (0 %) : 0 €", "du 2ème au 9ème : 3 €", "Fraction honteux : 1 €"});
    QVERIFY2(missing.isEmpty(), qPrintable(missing));

    // The directory turns read-only only now: the sheet above had to be written.
    if (!settingsIsDirectory)
        QVERIFY(QFile::setPermissions(workPath, QFile::ReadOwner | QFile::ExeOwner));
    const auto before = snapshot(workPath);

    // Configuration tab, then "Sauvegarder": one prize row in use this time.
    STEP(keys("Tab*3 Right Tab*12 space"));

    // The error box is a second window of the program; it takes the
    // keyboard, and Return presses its one button, "OK".
    QTRY_COMPARE_WITH_TIMEOUT(newWindows().size(), 1, 20000);
    const quint32 box = newWindows().value(0);
    QTRY_COMPARE_WITH_TIMEOUT(focusedWindow(), box, 20000);
    // Its title bar names the program, not its file.
    QCOMPARE(QString::fromUtf8(tool(xdotoolPath, {"getwindowname", QString::number(box)}).trimmed()),
             QString("Prix général"));
    STEP(keys("Return"));
    QTRY_COMPARE_WITH_TIMEOUT(newWindows().size(), 0, 20000);

    QCOMPARE(snapshot(workPath), before);
    STEP(expectCleanExit());
}

void EndToEnd::crashKeepsWork()
{
    QVERIFY(writeBytes(workPath + "/save.ini", "3.5;0.5;3;20;3;pourcent;40;25;15;7;9;:/blason.png;5"));
    STEP(startProgram());
    STEP(focusMainWindow());
    // The morning's shoot of arc classique: its counts, "Calculer", "Imprimer".
    STEP(keys("Tab"));
    STEP(xdotool({"type", "--delay", "60", "60"}));
    STEP(keys("Tab"));
    STEP(xdotool({"type", "--delay", "60", "10"}));
    STEP(keys("Tab space Tab space"));
    QTRY_VERIFY_WITH_TIMEOUT(readBytes(openedLog).endsWith('\n'), 30000);
    // The afternoon's: back to nbMises (its text selected on the way in), the
    // counts, "Calculer", then the list: sommeNoirs, sommePrix, the tab bar,
    // sommeEncaisse, and names typed below the list.
    STEP(keys("shift+Tab*3"));
    STEP(xdotool({"type", "--delay", "60", "123"}));
    STEP(keys("Tab"));
    STEP(xdotool({"type", "--delay", "60", "45"}));
    STEP(keys("Tab space Tab*6 ctrl+End Return"));
    STEP(xdotool({"type", "--delay", "60", "Jean Dupont"}));
    const QString kept = workPath + "/recuperation-1.txt";
    QTRY_VERIFY_WITH_TIMEOUT(readBytes(kept).contains("Jean Dupont"), 20000);
    // A dead battery: no close, no question.
    program.kill();
    QVERIFY(program.waitForFinished(10000));

    STEP(startProgram());
    // The question comes over the window, titled with the program's name.
    const auto questions = [this] {
        QList<quint32> found;
        for (quint32 window : visibleWindows()) {
            if (window != mainWindow
                && tool(xdotoolPath, {"getwindowname", QString::number(window)}).trimmed() == "Prix général")
                found << window;
        }
        return found;
    };
    QTRY_COMPARE_WITH_TIMEOUT(questions().size(), 1, 20000);
    const quint32 question = questions().constFirst();
    QTRY_COMPARE_WITH_TIMEOUT(focusedWindow(), question, 20000);
    STEP(keys("Return")); // "Reprendre"
    QTRY_VERIFY_WITH_TIMEOUT(questions().isEmpty(), 20000);
    QCOMPARE(program.state(), QProcess::Running);
    startWindows = visibleWindows();
    QVERIFY2(!QFileInfo::exists(kept), "the work taken back is still offered under the dead copy's name");

    // The window shows what it showed: the sheet prints the counts and the
    // names without asking about the list, the one computed for them. The
    // category has a sheet today: "n", the underlined letter, makes this
    // the day's second shoot.
    STEP(focusMainWindow());
    STEP(keys("ctrl+p"));
    QTRY_COMPARE_WITH_TIMEOUT(questions().size(), 1, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(focusedWindow(), questions().constFirst(), 20000);
    STEP(keys("n"));
    QTRY_COMPARE_WITH_TIMEOUT(readBytes(openedLog).count('\n'), 2, 30000);
    // Both shoots in the journal, each with its sheet.
    const QList<QByteArray> rows = readBytes(workPath + "/journal.csv").split('\n');
    QCOMPARE(rows.size(), 4); // the header, two rows, nothing after the last line end
    QVERIFY2(rows[1].contains(";arc classique;60;") && rows[1].contains("_tir1.pdf")
                 && rows[2].contains(";arc classique;123;") && rows[2].contains("_tir2.pdf"),
             rows.join('\n').constData());
    bool ok = false;
    const QString text = QString::fromUtf8(tool(pdftotextPath, {"-enc", "UTF-8", workPath +
                                                "/prixGeneral_arc_classique.pdf", "-"}, 20000, &ok))
                             .normalized(QString::NormalizationForm_KC).simplified();
    const QString missing = missingInOrder(text, {"Somme à distribuer : 321 €", "123 mises effectuées",
                                                  "45 noirs payés", "1er (40 %) : 130 €", "Jean Dupont"});
    QVERIFY2(ok && missing.isEmpty(), qPrintable(missing));

    // Closed normally: the next start has nothing to offer.
    STEP(expectCleanExit());
    QCOMPARE(QDir(workPath).entryList({"recuperation-*"}), QStringList());
    STEP(startProgram());
    QTest::qWait(3000);
    QCOMPARE(newWindows(), QList<quint32>());
    STEP(expectCleanExit());
}

QTEST_GUILESS_MAIN(EndToEnd)
#include "tst_endtoend.moc"
