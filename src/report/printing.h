#pragma once

class QString;
class QTextDocument;

// Lays `html` out on a private copy of `model`, so the sheet keeps the model's
// document settings (its default font among them), and prints it as a PDF to
// `pdfPath`. True only when `pdfPath` now holds the new sheet; on failure no
// half-written file is left behind under that name.
bool printSheet(const QTextDocument &model, const QString &html, const QString &pdfPath);

// Hands the file to the system's PDF viewer, without waiting for it.
void openSheet(const QString &pdfPath);
