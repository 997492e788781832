#pragma once

// Helpers for every test, on Qt Core alone: whole files, the debug
// messages of one logging category, and a copy of the program that dies
// holding the journal's lock.

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QList>
#include <QLockFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QThread>

#include <cstdio>

#ifdef Q_OS_LINUX
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace testhelpers {

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QStringList dirEntries(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// The sum of the main prizes, of the minimum gains and the leftover of the
// prize list in a sheet's text (as pdftotext reads it); empty without one.
inline QList<double> sheetListAmounts(const QString &text)
{
    const auto number = [&text](const QString &pattern, int group = 1) {
        return QRegularExpression(pattern).match(text).captured(group).toDouble();
    };
    if (!text.contains(QStringLiteral("Fraction honteux")))
        return {};
    const QString gains = QStringLiteral("du (-?\\d+)ème au (-?\\d+)ème : (\\d+) €");
    double prizes = 0;
    const QRegularExpression prize(QStringLiteral("\\d+(?:er|ème) \\([^)]*\\) : (-?[\\d.e+]+) €"));
    for (auto it = prize.globalMatch(text); it.hasNext();)
        prizes += it.next().captured(1).toDouble();
    return {prizes, (number(gains, 2) - number(gains, 1) + 1) * number(gains, 3),
            number(QStringLiteral("Fraction honteux : (-?[\\d.e+]+) €"))};
}

// Empty when the list of a sheet's text adds up to its "Somme à
// distribuer"; else that text.
inline QString sheetImbalance(const QString &text)
{
    const QList<double> list = sheetListAmounts(text);
    const QRegularExpression poolText(QStringLiteral("Somme à distribuer : (-?\\d+) €"));
    const double pool = poolText.match(text).captured(1).toDouble();
    return !list.isEmpty() && list[0] + list[1] + list[2] == pool ? QString() : text;
}

// Where a French text breaks its typography: a breakable space (or none)
// before « : ; ! ? » or after «, a curly apostrophe or quote. Colons
// without a space after them (C:/, qrc:/, 12:30) are not punctuation.
inline QStringList typographyFaults(const QString &text)
{
    static const QRegularExpression fault(
        QStringLiteral("\\S{0,12}(?: [:;!?\u00bb]|\\p{L}[;!?\u00bb]|\\p{L}:(?=\\s|$)|\u00ab(?!\u00a0)|[\u2019\u201c\u201d])\\S{0,12}"));
    QStringList found;
    for (const QRegularExpressionMatch &match : fault.globalMatch(text))
        found << match.captured(0);
    return found;
}

// Collects the debug messages of `category` for as long as it lives.
class LogCollector
{
public:
    explicit LogCollector(const char *category) : category(category), previous(qInstallMessageHandler(collect))
    {
        current = this;
    }
    ~LogCollector()
    {
        qInstallMessageHandler(previous);
        current = nullptr;
    }
    LogCollector(const LogCollector &) = delete;
    LogCollector &operator=(const LogCollector &) = delete;

    QStringList messages;

private:
    static void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (current && type == QtDebugMsg && qstrcmp(context.category, current->category) == 0)
            current->messages << message;
    }

    inline static LogCollector *current = nullptr;
    const char *category;
    QtMessageHandler previous;
};

// A copy of the program writing the journal `journal`: this test program
// started again as `--hold JOURNAL`, whose main() calls holdJournalLock().
// It returns once the copy holds the lock; killed, the copy leaves the lock
// behind as a crash in the middle of a write does. Null if it took none.
inline QProcess *startLockHolder(QObject *parent, const QString &journal)
{
    auto *holder = new QProcess(parent);
    holder->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    holder->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold"), journal});
    return holder->waitForReadyRead(30000) ? holder : nullptr;
}

// The main() of that copy: takes the journal's lock, says so, and keeps it.
inline int holdJournalLock(const QString &journal)
{
    QLockFile lock(journal + QStringLiteral(".lock"));
    if (!lock.lock())
        return 1;
    std::fputs("held\n", stdout);
    std::fflush(stdout);
    QThread::sleep(120);
    return 0;
}

#ifdef Q_OS_LINUX
// The journal's lock, in `folder`, as another account of this computer
// sharing the folder meets it, for as long as this lives: QLockFile removes a
// dead copy's lock by opening it for writing first, which the lock file of
// another account (0644) refuses. Run as root, whom no permission stops, this
// thread reaches files as the unprivileged account `nobody` (setfsuid: the
// kernel drops root's file powers with it), so the lock, root's own, is
// another account's in every way; run as any other account, the lock is made
// read-only, which refuses the same open for the same reason. The folder is
// open to every account, as one two accounts share is.
class OtherAccount
{
public:
    OtherAccount(const QString &folder, const QString &lock)
    {
        if (chmod(QFile::encodeName(folder).constData(), 0777) != 0)
            return;
        if (geteuid() != 0) {
            ok = chmod(QFile::encodeName(lock).constData(), 0444) == 0;
            return;
        }
        setfsgid(nobody);
        setfsuid(nobody);
        switched = true;
        // Either call answers the previous value; an invalid one changes nothing.
        ok = setfsuid(uid_t(-1)) == int(nobody) && setfsgid(gid_t(-1)) == int(nobody);
    }
    ~OtherAccount()
    {
        if (switched) {
            setfsuid(0);
            setfsgid(0);
        }
    }
    OtherAccount(const OtherAccount &) = delete;
    OtherAccount &operator=(const OtherAccount &) = delete;

    bool ok = false;

private:
    static constexpr uid_t nobody = 65534;
    bool switched = false;
};
#endif

} // namespace testhelpers
