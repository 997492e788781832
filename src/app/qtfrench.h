#pragma once

class QCoreApplication;

// Qt's own texts (context menus, the file dialog, message box buttons) in
// French whatever the system's language: the program speaks no other. Without
// the translation file they stay in English, and nothing else changes.
void installQtFrench(QCoreApplication &app);
