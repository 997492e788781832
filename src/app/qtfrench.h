#pragma once

#include <QString>

class QCoreApplication;

// Qt's own texts (context menus, the file dialog, message box buttons) in
// French whatever the system's language: the program speaks no other. Where
// Qt's translation lacks a text, the program's own (resources/qtgaps_fr.ts)
// fills in. Without Qt's file its texts stay in English, and nothing else changes.
void installQtFrench(QCoreApplication &app);

// Qt's own French translation file, of the Qt that runs.
QString qtFrenchFile();
