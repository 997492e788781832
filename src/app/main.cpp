#include "app/mainwindow.h"
#include "form/messagebox.h"
#include "app/qtfrench.h"
#include "app/screenfit.h"

#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QIcon>
#include <QRegularExpression>
#include <QStringList>

#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

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

// Without a QApplication no translator can be installed, so the parser's
// own English stops here and the texts below are the program's.
const char *const helpText =
    "Utilisation\u00a0: %1 [options]\n"
    "Calcul des prix d'un prix général de tir à l'arc.\n"
    "Dans le dossier courant, lit et écrit save.ini (les réglages) et\n"
    "nom_club.txt (le nom du club), écrit\n"
    "prixGeneral_<catégorie>.pdf (la dernière feuille des prix de la catégorie)\n"
    "et prixGeneral_<catégorie>_AAAA-MM-JJ_tir<n>.pdf (celle de chaque tir), et\n"
    "note chaque feuille imprimée dans journal.csv (le journal des impressions).\n"
    "L'onglet Journée note chaque comptage de la caisse dans caisse.csv, les prix\n"
    "payés des listes saisies à la main dans prix_payes.csv, et écrit\n"
    "les bilans bilan_AAAA-MM-JJ_n<n>.pdf et bilan_saison_AAAA-AAAA.pdf. Le travail en cours est\n"
    "gardé dans recuperation-<n>.txt tant que la fenêtre est ouverte, et proposé\n"
    "au démarrage suivant si le programme s'est arrêté sans être fermé.\n"
    "Les options de Qt (-platform, -style, -reverse…) sont acceptées aussi.\n"
    "\n"
    "Options\u00a0:\n"
    "  -h, --help, -?  Affiche cette aide et quitte.\n"
    "  -v, --version   Affiche la version du programme et quitte.\n";

#ifdef Q_OS_WIN
// As Qt's own parser decides: a program of the GUI subsystem started from
// Explorer, a shortcut or a console it does not share prints nowhere.
bool printsNowhere()
{
    if (GetConsoleWindow())
        return false;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    return !(startup.dwFlags & STARTF_USESTDHANDLES);
}
#endif

void print(FILE *stream, const QString &text)
{
#ifdef Q_OS_WIN
    if (printsNowhere()) {
        MessageBoxW(nullptr, reinterpret_cast<const wchar_t *>(text.utf16()),
                    reinterpret_cast<const wchar_t *>(messageTitle().utf16()),
                    MB_OK | MB_TOPMOST | MB_SETFOREGROUND | (stream == stderr ? MB_ICONERROR : MB_ICONINFORMATION));
        return;
    }
#endif
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// The parser's reason in French: it names the option in its English text.
QString refusal(const QCommandLineParser &parser)
{
    const auto quoted = [](const QString &name) { return QStringLiteral("«\u00a0%1\u00a0»").arg(name); };
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.size() == 1)
        return QStringLiteral("option inconnue ") + quoted(unknown.first());
    if (!unknown.isEmpty()) {
        QStringList names;
        for (const QString &name : unknown)
            names << quoted(name);
        return QStringLiteral("options inconnues\u00a0: ") + names.join(QStringLiteral(", "));
    }
    const QString error = parser.errorText();
    const QString name = QRegularExpression(QStringLiteral("'(.*)'\\.$")).match(error).captured(1);
    if (error.startsWith(QLatin1String("Missing value")))
        return QStringLiteral("valeur manquante après ") + quoted(name);
    if (error.startsWith(QLatin1String("Unexpected value")))
        return QStringLiteral("valeur inattendue après ") + quoted(name);
    return error;
}

// Answers --help and --version, or refuses what it does not know, all
// without a QApplication: nothing here may need a display. Returns the exit
// status, or -1 to go on and start the window.
int answerCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
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
        print(stderr, QStringLiteral("%1\u00a0: %2. Essayez «\u00a0%1 --help\u00a0».\n").arg(programName, refusal(parser)));
        return 1;
    }
    if (parser.isSet(help)) {
        print(stdout, QString::fromUtf8(helpText).arg(programName));
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
    installQtFrench(app);
#ifndef Q_OS_WIN
    // Windows takes the program file's icon; elsewhere give the same picture.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/orvan.ico")));
#endif
    MainWindow window;
    window.show();
    window.keepWorkAcrossCrashes();
    return app.exec();
}
