#include "app/qtfrench.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

void installQtFrench(QCoreApplication &app)
{
#ifdef Q_OS_WIN
    // Compiled in: the file of the Qt release linked into the program.
    const QString file = QStringLiteral(":/i18n/qtbase_fr.qm");
#else
    // The running Qt's own (Debian: qt6-translations-l10n), which may be a
    // later release than the one the program was built against.
    const QString file = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_fr.qm");
#endif
    auto *translator = new QTranslator(&app);
    if (translator->load(file))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}
