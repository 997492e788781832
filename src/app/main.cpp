#include "app/mainwindow.h"
#include "app/screenfit.h"

#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QIcon>
#include <QRegularExpression>
#include <QStringList>

#include <cstdio>

#ifndef PRIXGENERAL_VERSION
#error "PRIXGENERAL_VERSION is CMake's project version, given by CMakeLists.txt"
#endif

namespace {

const QString programName = QStringLiteral("prixgeneral");
const QString programVersion = QStringLiteral(PRIXGENERAL_VERSION);

// Qt reads these itself (with one dash or two); the parser only has to know
// them, and which take a value, so that they are not reported as unknown.
const char *const qtOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger", "qwindowgeometry",
    "qwindowicon", "qwindowtitle", "session", "style", "stylesheet", "display", "geometry", "name", "title",
    "visual", "ncols", "cmap", "im", "inputstyle", "fn", "font", "bg", "background", "fg", "foreground",
    "btn", "button"};
const char *const qtSwitches[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"};

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// Answers --help and --version, or refuses what it does not know, all
// without a QApplication: nothing here may need a display. Returns the exit
// status, or -1 to go on and start the window.
int answerCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Prize calculator for an archery club's general-prize shoot (prix général).\n"
                       "Reads and writes save.ini and prixGeneral_<category>.pdf in the current directory.\n"
                       "Qt's own options (-platform, -style, -reverse, ...) are accepted too."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the program's version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    for (const char *name : qtOptionsWithValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : qtSwitches) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    if (!parser.parse(arguments)) {
        print(stderr, QStringLiteral("%1: %2 Try '%1 --help'.\n").arg(programName, parser.errorText()));
        return 1;
    }
    if (parser.isSet(help)) {
        // helpText() names the program after argv[0]; say its real name.
        QString text = parser.helpText();
        text.replace(QRegularExpression(QStringLiteral("^Usage: \\S+")), QStringLiteral("Usage: ") + programName);
        print(stdout, text);
        return 0;
    }
    if (parser.isSet(version)) {
#ifdef Q_OS_WIN
        // The Windows program carries its Qt inside: say which, for updates.
        print(stdout, QStringLiteral("%1 %2 (Qt %3)\n").arg(programName, programVersion, QString::fromLatin1(qVersion())));
#else
        print(stdout, programName + QLatin1Char(' ') + programVersion + QLatin1Char('\n'));
#endif
        return 0;
    }
    // Anything else that is not an option is left alone, as it always was.
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const int status = answerCommandLine(arguments); status >= 0)
        return status;

#ifdef Q_OS_WIN
    fitWindowToScreen(argc, argv);
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(programVersion);
#ifndef Q_OS_WIN
    // Windows takes the program file's icon; elsewhere give the same picture.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/orvan.ico")));
#endif
    MainWindow window;
    window.show();
    return app.exec();
}
