#include "report/printing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <QTextDocument>

#include <memory>

namespace {

bool isPdf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-";
}

// QFile::rename() never overwrites. A target that cannot be removed (a file
// held open by a viewer on Windows, a directory) makes the rename fail.
bool replaceFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    return QFile::rename(from, to);
}

} // namespace

bool printSheet(const QTextDocument &model, const QString &html, const QString &pdfPath)
{
    // Print beside the target first: the previous sheet must never be mistaken
    // for today's, and a failed print must not clobber it with a stub.
    const QFileInfo target(pdfPath);
    const QString partPath = target.absoluteDir().filePath(
        QLatin1Char('.') + target.fileName() + QLatin1Char('.')
        + QString::number(QCoreApplication::applicationPid()) + QStringLiteral(".part"));

    const std::unique_ptr<QTextDocument> sheet(model.clone());
    sheet->setHtml(html);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(partPath);
    sheet->print(&printer);

    // The printer reports a file it could not open only through its state.
    if (printer.printerState() != QPrinter::Error && isPdf(partPath) && replaceFile(partPath, pdfPath))
        return true;
    QFile::remove(partPath);
    return false;
}

void openSheet(const QString &pdfPath)
{
#if defined(Q_OS_WIN)
    // The start command of cmd opens the file with its associated program.
    QProcess cmd;
    cmd.setProgram(QStringLiteral("cmd"));
    cmd.setNativeArguments(QStringLiteral("/Q /C \"start %1\"").arg(pdfPath));
    cmd.startDetached();
#elif defined(Q_OS_MACOS)
    QProcess::startDetached(QStringLiteral("open"), {QFileInfo(pdfPath).absoluteFilePath()});
#else
    QProcess::startDetached(QStringLiteral("xdg-open"), {QFileInfo(pdfPath).absoluteFilePath()});
#endif
}
