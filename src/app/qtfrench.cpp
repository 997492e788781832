#include "app/qtfrench.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

void install(QObject &owner, const QString &file)
{
    auto *translator = new QTranslator(&owner);
    if (translator->load(file))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace

QString qtFrenchFile()
{
#ifdef Q_OS_WIN
    // Compiled in: the file of the Qt release linked into the program.
    return QStringLiteral(":/i18n/qtbase_fr.qm");
#else
    // The running Qt's own (Debian: qt6-translations-l10n), which may be a
    // later release than the one the program was built against.
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_fr.qm");
#endif
}

void installQtFrench(QObject &owner, const QString &own)
{
    // Qt asks the translator installed last first: the program's own French
    // goes in before Qt's, so it only answers what Qt's leaves in English.
    // It holds each text as the Qt release that asks for it words it, so it
    // needs no test of the Qt that runs.
    install(owner, own);
    install(owner, qtFrenchFile());
}
