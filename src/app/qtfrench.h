#pragma once

#include <QString>

class QObject;

// Qt's own texts (context menus, the file dialog, message box buttons) in
// French whatever the system's language: the program speaks no other. Where
// Qt's translation lacks a text, the program's own, `own` (by default
// resources/qtgaps_fr.ts compiled in), fills in. The translators belong to
// `owner`: the application, or a test's object that takes them away again.
// Without Qt's file its texts stay in English, and nothing else changes.
void installQtFrench(QObject &owner, const QString &own = QStringLiteral(":/i18n/qtgaps_fr.qm"));

// Qt's own French translation file, of the Qt that runs.
QString qtFrenchFile();
