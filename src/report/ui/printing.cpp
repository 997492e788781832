#include "report/ui/printing.h"

#include "files/wholefile.h"
#include "form/messagebox.h"
#include "report/ui/crest.h"
#include "report/sheet.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <memory>

#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
#include <QProcess>
#else
#include <QFile>

#include <cerrno>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
extern char **environ;
#endif

namespace {

// The key under which the image handler looks a picture up.
QUrl imageKey(const QString &source)
{
    return QUrl(source.startsWith(QLatin1String(":/")) ? QLatin1String("qrc") + source : source);
}

// Left to itself the document opens image files on its own, and would wait
// forever on a named pipe, read /dev/zero until memory runs out and refuse a
// camera-size picture. Every picture is therefore read here, once, and
// handed over ready to draw. One that cannot be read is taken out: Qt would
// draw its "missing file" icon, a broken picture atop every sheet.
void supplyImages(QTextDocument &sheet)
{
    QHash<QString, bool> readable;
    QList<QPair<int, int>> missing; // position and length of each picture left out
    for (QTextBlock block = sheet.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const QString source = format.isImageFormat() ? format.toImageFormat().name() : QString();
            if (!format.isImageFormat())
                continue;
            if (!readable.contains(source)) {
                const QImage image = source.isEmpty() ? QImage() : loadCrest(source, crestHeight);
                readable.insert(source, !image.isNull());
                if (!image.isNull())
                    sheet.addResource(QTextDocument::ImageResource, imageKey(source), image);
            }
            if (!readable.value(source))
                missing.append({it.fragment().position(), it.fragment().length()});
        }
    }
    // The last first, so the positions before it stay right.
    for (auto it = missing.crbegin(); it != missing.crend(); ++it) {
        QTextCursor cursor(&sheet);
        cursor.setPosition(it->first);
        cursor.setPosition(it->first + it->second, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
}

} // namespace

// Sheets cut short by a crash of an earlier version of the program, which
// printed to ".<sheet>.<pid>.part" beside the sheet.
void removeLeftovers(const QString &pdfPath)
{
    const QFileInfo target(pdfPath);
    QDir dir = target.absoluteDir();
    const QStringList parts = dir.entryList({QLatin1Char('.') + target.fileName() + QStringLiteral(".*.part")},
                                            QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &part : parts)
        dir.remove(part);
}

QByteArray renderSheet(const QTextDocument &model, const QString &html)
{
    const std::unique_ptr<QTextDocument> sheet(model.clone());
    sheet->setHtml(html);
    supplyImages(*sheet);
    // A null page size lays nothing out until print() gives its copy the
    // page's: otherwise this document and that copy are laid out three
    // times over for nothing, most of the time a season's statement takes.
    sheet->setPageSize(QSizeF(0, 0));
    // Into memory: the PDF engine ignores what its writes return, so it
    // never writes to a disk that could fill under it.
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(1200);
        sheet->print(&writer);
    }
    return pdf;
}

bool printSheet(const QTextDocument &model, const QString &html, FileReplacement &file, QString *error)
{
    const QByteArray pdf = renderSheet(model, html);
    if (pdf.isEmpty()) {
        *error = QStringLiteral("Rien n'a été imprimé");
        return false;
    }
    return replaceWhole(file, pdf, error);
}

bool printSheet(const QTextDocument &model, const QString &html, const QString &pdfPath, QString *error)
{
    removeLeftovers(pdfPath);
    return printSheet(model, html, *replacementFor(pdfPath), error);
}

bool openSheet(const QString &pdfPath, QString *error)
{
#if defined(Q_OS_WIN)
    // The start command of cmd opens the file with its associated program.
    QProcess cmd;
    cmd.setProgram(QStringLiteral("cmd"));
    cmd.setNativeArguments(QStringLiteral("/Q /C \"start %1\"").arg(pdfPath));
    // The program relies on no result from the interpreter.
    Q_UNUSED(error);
    cmd.startDetached();
    return true;
#elif defined(Q_OS_MACOS)
    Q_UNUSED(error);
    QProcess::startDetached(QStringLiteral("open"), {QFileInfo(pdfPath).absoluteFilePath()});
    return true;
#else
    // Not QProcess::startDetached, which copies the whole program twice to
    // run one script. The shell starts without copying anything, hands the
    // file to xdg-open in the background and ends at once: it is reaped
    // here, and nothing waits for the viewer.
    const QByteArray path = QFile::encodeName(QFileInfo(pdfPath).absoluteFilePath());
    const char *const argv[] = {"sh", "-c", "command -v xdg-open >/dev/null || exit 127; xdg-open \"$1\" &",
                                "sh", path.constData(), nullptr};
    pid_t pid = 0;
    if (const int failed = posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char **>(argv), environ)) {
        *error = QString::fromLocal8Bit(strerror(failed));
        return false;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            *error = QString::fromLocal8Bit(strerror(errno));
            return false;
        }
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    *error = QStringLiteral("Aucun lecteur PDF n'a pu être démarré\u00a0: installez le paquet xdg-utils et un lecteur "
                            "PDF, ou ouvrez la feuille vous-même.");
    return false;
#endif
}

bool writePdf(QWidget *parent, const QByteArray &pdf, const QString &fileName)
{
    QString error;
    const bool written = !pdf.isEmpty() && replaceWhole(fileName, pdf, &error);
    if (!written)
        warnAboutFile(parent, QStringLiteral("Erreur lors de la création du fichier PDF\u00a0!"), fileName,
                      pdf.isEmpty() ? QStringLiteral("Rien n'a été imprimé") : error);
    return written;
}

void openPrinted(QWidget *parent, const QString &fileName)
{
    QString error;
    if (!openSheet(fileName, &error))
        warnAboutFile(parent, QStringLiteral("Le fichier PDF a été créé mais n'a pas pu être ouvert."), fileName,
                      error);
}

bool writeAndOpen(QWidget *parent, const QByteArray &pdf, const QString &fileName)
{
    if (!writePdf(parent, pdf, fileName))
        return false;
    openPrinted(parent, fileName);
    return true;
}
