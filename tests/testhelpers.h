#pragma once

// Helpers for every test, on Qt Core alone: whole files, and the debug
// messages of one logging category.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

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

// A sheet's text as pdftotext reads it: empty when its prizes, minimum gains
// and leftover add up to its "Somme à distribuer", else what they make.
inline QString sheetImbalance(const QString &text)
{
    const QRegularExpression pool(QStringLiteral("Somme à distribuer : (-?\\d+) €"));
    const QRegularExpression prize(QStringLiteral("\\d+(?:er|ème) \\([^)]*\\) : (-?[\\d.e+]+) €"));
    const QRegularExpression gains(QStringLiteral("du (-?\\d+)ème au (-?\\d+)ème : (\\d+) €"));
    const QRegularExpression leftover(QStringLiteral("Fraction honteux : (-?[\\d.e+]+) €"));
    const auto poolFound = pool.match(text), gainsFound = gains.match(text), leftoverFound = leftover.match(text);
    if (!poolFound.hasMatch() || !gainsFound.hasMatch() || !leftoverFound.hasMatch())
        return QStringLiteral("no whole prize list in: ") + text;
    double paid = leftoverFound.captured(1).toDouble();
    for (auto it = prize.globalMatch(text); it.hasNext();)
        paid += it.next().captured(1).toDouble();
    paid += (gainsFound.captured(2).toDouble() - gainsFound.captured(1).toDouble() + 1)
            * gainsFound.captured(3).toDouble();
    const double distributed = poolFound.captured(1).toDouble();
    return paid == distributed ? QString()
                               : QStringLiteral("the list pays %1 €, the sheet distributes %2 €: ").arg(paid).arg(distributed)
                                     + text;
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

} // namespace testhelpers
