#pragma once

// Shared by the tests that drive the real window: finding widgets, clicking
// as a user would, answering modal boxes, and files in a scratch directory.

#include "testhelpers.h"

#include <QtTest>
#include <QtWidgets>

#include <clocale>
#include <functional>
#include <memory>
#include <type_traits>

namespace windowtest {

using testhelpers::readBytes;
using testhelpers::writeBytes;
using testhelpers::dirEntries;

template <typename T>
T *child(const QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no widget named %s", name);
    return found;
}

// Brings the button's tab in front first. A radio button takes clicks only on
// its indicator and text, not on the rest of its rectangle.
inline void click(QWidget &window, const char *name)
{
    auto *button = child<QAbstractButton>(window, name);
    auto *tabs = child<QTabWidget>(window, "tabWidget");
    for (int page = 0; page < tabs->count(); ++page) {
        if (tabs->widget(page)->isAncestorOf(button))
            tabs->setCurrentIndex(page);
    }
    QCoreApplication::sendPostedEvents();
    QPoint where = button->rect().center();
    if (qobject_cast<QRadioButton *>(button)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        where = button->style()->subElementRect(QStyle::SE_RadioButtonClickRect, &option, button).center();
    }
    QTest::mouseClick(button, Qt::LeftButton, {}, where);
}

// Every box of the program, whatever it says: the program's name as its
// title, and its words in French typography (but the one text kept as it
// always read).
inline void checkProgramBox(const QMessageBox *box)
{
    QCOMPARE(box->windowTitle(), QStringLiteral("Prix général"));
    if (box->text() != QLatin1String("Erreur lors de la sauvegarde du fichier !"))
        QCOMPARE(testhelpers::typographyFaults(box->text()), QStringList());
}

// Runs `answer` on the first widget of type T to be shown while `owner`
// lives, as soon as its own event loop runs. The watch reacts to the Show
// event instead of polling; a box still open ten seconds after it was
// answered, or one nobody answered, is closed, so it fails the test instead
// of hanging it.
template <typename T>
void whenModal(QObject *owner, std::function<void(T *)> answer)
{
    class Watch : public QObject
    {
    public:
        Watch(QObject *owner, std::function<void(T *)> answer) : QObject(owner), answer(std::move(answer))
        {
            qApp->installEventFilter(this);
            QTimer::singleShot(10000, this, [] {
                if (QWidget *stuck = QApplication::activeModalWidget())
                    stuck->close();
            });
        }

    protected:
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            T *wanted = event->type() == QEvent::Show ? qobject_cast<T *>(watched) : nullptr;
            if (wanted && answer) {
                if constexpr (std::is_same_v<T, QMessageBox>)
                    checkProgramBox(wanted);
                // Shown from inside exec(), before its loop runs: answer once it does.
                QTimer::singleShot(0, wanted, [wanted, answer = std::move(answer)] { answer(wanted); });
                answer = nullptr;
            }
            return false;
        }

    private:
        std::function<void(T *)> answer;
    };
    new Watch(owner, std::move(answer));
}

// An empty current directory for one test: the window reads "save.ini" and
// writes its sheets where it is started.
class ScratchDir
{
public:
    ScratchDir() : previous(QDir::currentPath()) { QDir::setCurrent(dir.path()); }
    ~ScratchDir() { QDir::setCurrent(previous); }
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;

    bool isValid() const { return dir.isValid(); }
    QString path() const { return dir.path(); }
    QString filePath(const QString &name) const { return dir.filePath(name); }

private:
    QString previous;
    QTemporaryDir dir;
};

// The English words a user could read in Qt's own menus and dialogs or in
// the reasons under the program's messages; none of them is also French
// (not "permission", "location" or "file", which are).
inline QStringList englishWords(QString text)
{
    static const QSet<QString> english = {
        "undo", "redo", "cut", "copy", "paste", "delete", "select", "all", "step", "up", "down", "link",
        "look", "in", "filename", "name", "of", "open", "cancel", "size",
        "modified", "back", "forward", "create", "new", "folder", "directory", "list", "view", "detail",
        "computer", "refers", "to", "the", "is", "no", "space", "left", "disk", "full", "too", "nothing",
        "was", "printed", "could", "be", "started", "not", "found", "denied", "error", "unknown"};
    QStringList found;
    const QRegularExpression nonLetters(QStringLiteral("[^\\p{L}]+"));
    for (const QString &word : text.remove(QLatin1Char('&')).toLower().split(nonLetters, Qt::SkipEmptyParts)) {
        if (english.contains(word))
            found << word;
    }
    return found;
}

// The system's own reasons in French for one test, as LANG=fr_FR.UTF-8 gives them.
struct FrenchSystem
{
    const QByteArray previous = std::setlocale(LC_ALL, nullptr);
    const bool set = std::setlocale(LC_ALL, "fr_FR.UTF-8") != nullptr;
    ~FrenchSystem() { std::setlocale(LC_ALL, previous.constData()); }
};
#define FRENCH_SYSTEM_MISSING "fr_FR.UTF-8 is not generated (Debian: locales, libc-l10n; localedef -i fr_FR -f UTF-8 fr_FR.UTF-8)"

#ifdef Q_OS_WIN
// Windows opens the sheet with the program associated with .pdf files; the
// stand-in is a batch file registered for them. After `delay` seconds it
// appends each path it gets, in native form, one a line, to `log`. (The
// prefix's registry is one for all test programs: the ones that install it
// never run side by side, tests/CMakeLists.txt.)
inline bool installFakeOpener(const QString &folder, const QString &log, int delay = 0)
{
    const QString script = QDir::toNativeSeparators(QDir(folder).filePath(QStringLiteral("open.bat")));
    const QByteArray target = QDir::toNativeSeparators(log).toLocal8Bit();
    // cmd has no sleep; each ping to this host takes a second.
    const QByteArray wait = delay > 0 ? "ping -n " + QByteArray::number(delay + 1) + " 127.0.0.1 >nul\r\n" : "";
    // Sheets printed one after the other start viewers at once, and cmd's
    // `>>` seeks to the end and then writes: two at a time lose a line, or
    // one fails on a sharing violation. A folder made is the lock.
    const QByteArray append = ":wait\r\nmkdir \"" + target + ".lock\" 2>nul || (ping -n 1 127.0.0.1 >nul & goto wait)\r\n"
                              "echo %~1>>\"" + target + "\"\r\nrmdir \"" + target + ".lock\"\r\n";
    if (!writeBytes(script, "@echo off\r\n" + wait + append))
        return false;
    QSettings classes(QStringLiteral("HKEY_CLASSES_ROOT"), QSettings::NativeFormat);
    classes.setValue(QStringLiteral(".pdf/."), QStringLiteral("PrixGeneral.TestViewer"));
    // cmd drops the outer pair of quotes.
    classes.setValue(QStringLiteral("PrixGeneral.TestViewer/shell/open/command/."),
                     QString(QStringLiteral("cmd.exe /c \"\"") + script + QStringLiteral("\" \"%1\"\"")));
    classes.sync();
    return classes.status() == QSettings::NoError;
}
#else
// Puts a stand-in for xdg-open first on PATH, so no test starts a real PDF
// viewer; after `delay` seconds it appends each argument it gets, one a line,
// to `log`.
inline bool installFakeOpener(const QString &folder, const QString &log, int delay = 0)
{
    const QString opener = QDir(folder).filePath(QStringLiteral("xdg-open"));
    const QByteArray script = "#!/bin/sh\nsleep " + QByteArray::number(delay)
                              + "\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + log.toUtf8() + "'; done\n";
    if (!writeBytes(opener, script)
        || !QFile::setPermissions(opener, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return false;
    qputenv("PATH", folder.toUtf8() + ':' + qgetenv("PATH"));
    return true;
}
#endif

// What the stand-in was given, one path a line; on Windows in native form
// and with cmd's CRLF, given back with forward slashes.
inline QStringList openedFiles(const QString &log)
{
    QStringList files = QString::fromUtf8(readBytes(log)).split('\n', Qt::SkipEmptyParts);
#ifdef Q_OS_WIN
    for (QString &file : files)
        file = QDir::fromNativeSeparators(file.trimmed());
#endif
    return files;
}

} // namespace windowtest
