#pragma once

#include "recovery/keeper.h"
#include "recovery/work.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QWidget;
struct MainWindowForm;

namespace recovery {

// Keeps the window's work across a crash or a dead battery: after a pause
// in the changes it writes what differs from the window's start to this
// copy's recovery file, and at start it offers back the work of copies that
// stopped without being closed.
class WorkKeeper : public QObject
{
    Q_OBJECT

public:
    // `gather` reads the window's work, `restore` puts one back.
    WorkKeeper(const MainWindowForm &form, QWidget *window, std::function<Work()> gather,
               std::function<void(const Work &)> restore);

    // Takes this copy's slot, then offers what stopped copies left; from now
    // on every change of the window's fields is noted.
    void start();
    // Something a crash would lose changed: kept after a pause.
    void noteChange();
    // Writes the work now, rather than after the pause.
    void keepNow();
    // The window closes on purpose: nothing is left to offer back.
    void discard();

signals:
    // A change was noted.
    void changed();

private:
    void offerLeftBehind();
    // Said once: from then on the window goes on without a word.
    void sayNotKept(const QString &why);

    const MainWindowForm &form;
    QWidget *window;
    std::function<Work()> gather;
    std::function<void(const Work &)> restore;
    std::unique_ptr<Keeper> keeper; // none until started, or in a folder that takes no file
    // The work the window started with: work equal to it is nothing to keep.
    std::optional<Work> startWork;
    QTimer timer;
    bool toldNotKept = false;
};

} // namespace recovery
