#pragma once

class FileReplacement;
class QByteArray;
class QString;
class QTextDocument;
class QWidget;

// The sheet as PDF bytes: `html` laid out on a private copy of `model`, so
// it keeps the model's document settings (its default font among them).
QByteArray renderSheet(const QTextDocument &model, const QString &html);

// Removes what an earlier version of the program left of a sheet it was
// printing to `pdfPath` when it was killed (".<sheet>.<pid>.part").
void removeLeftovers(const QString &pdfPath);

// Prints the sheet to `pdfPath`, or through `file`. True only when the file
// now holds the whole new sheet; on failure the previous sheet stays as it
// was, nothing else is left behind, and `error` says why.
bool printSheet(const QTextDocument &model, const QString &html, const QString &pdfPath, QString *error);
bool printSheet(const QTextDocument &model, const QString &html, FileReplacement &file, QString *error);

// Hands the file to the system's PDF viewer, without waiting for the viewer.
// False, with the reason, when no viewer could be started.
bool openSheet(const QString &pdfPath, QString *error);

// What the window does with a statement: `pdf` written whole to `fileName`
// of the working folder, each failure shown over `parent` with the file's
// path and why. writePdf() is false when nothing was written, and then
// nothing is to open: whatever old file is there would pass for today's.
bool writePdf(QWidget *parent, const QByteArray &pdf, const QString &fileName);
void openPrinted(QWidget *parent, const QString &fileName);
bool writeAndOpen(QWidget *parent, const QByteArray &pdf, const QString &fileName);
