#pragma once

#include "settings/settingsline.h"

#include <QObject>

#include <optional>

class QWidget;
struct MainWindowForm;

// The "Configuration" tab: save.ini read into it at start and written from
// it by "Sauvegarder", what differs from the file, and the tab's own rules
// (the prize rows in use, their unit, one rounding choice).
class SettingsTab : public QObject
{
    Q_OBJECT

public:
    SettingsTab(const MainWindowForm &form, QWidget *window);

    // save.ini into the tab, at start.
    void load();
    // "Sauvegarder": true once save.ini holds the tab's settings; a failure
    // is shown.
    bool save();

    // The settings as the tab shows them.
    Settings shown() const;
    // Those settings when they differ from save.ini (or, without one, from
    // the form's own).
    std::optional<Settings> unsaved() const;
    // Puts settings into the tab, as loading does; they stay unsaved.
    void apply(const Settings &settings);

    void showPrizeCount(int count);
    void choosePrizeType(bool fixedAmounts);
    void chooseRounding(bool toFive);

signals:
    // Something a crash would lose changed.
    void changed();

private:
    // The fields of save.ini's line, and only them.
    void applyLine(const Settings &settings);

    const MainWindowForm &form;
    QWidget *window;
    // The settings as save.ini holds them, or the form's own without one.
    Settings kept;
};
