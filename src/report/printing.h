#pragma once

class QString;
class QTextDocument;

// Lays `html` out on a private copy of `model`, so the sheet keeps the model's
// document settings (its default font among them), and prints it as a PDF to
// `pdfPath`. True only when `pdfPath` now holds the whole new sheet; on
// failure the previous sheet stays as it was, nothing else is left behind,
// and `error` says why.
bool printSheet(const QTextDocument &model, const QString &html, const QString &pdfPath, QString *error);

// Hands the file to the system's PDF viewer, without waiting for the viewer.
// False, with the reason, when no viewer could be started.
bool openSheet(const QString &pdfPath, QString *error);
