// Build-time helper: writes the copies of the button images that the
// program's icons show instead of shrinking the originals at start-up.
//   prescale_icons IMAGE WIDTHxHEIGHT OUTPUT.png [IMAGE WIDTHxHEIGHT OUTPUT.png]...
// Each copy is QIcon(IMAGE).pixmap() for a request of WIDTHxHEIGHT device
// pixels, the very call the program falls back to, and is read back to check
// that the PNG holds those pixels exactly.
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QImageWriter>
#include <QPixmap>
#include <QRegularExpression>
#include <QStringList>

#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "prescale_icons: %s\n", qPrintable(message));
    return 1;
}

QImage comparable(const QPixmap &pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

int main(int argc, char **argv)
{
    // Runs during the build, where there may be no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.size() % 3 != 0)
        return fail("usage: prescale_icons IMAGE WIDTHxHEIGHT OUTPUT.png [...]");

    static const QRegularExpression sizePattern(QStringLiteral("^([1-9][0-9]{0,4})x([1-9][0-9]{0,4})$"));
    for (qsizetype i = 0; i < args.size(); i += 3) {
        const QString &source = args[i];
        const QString &output = args[i + 2];
        const QRegularExpressionMatch match = sizePattern.match(args[i + 1]);
        if (!match.hasMatch())
            return fail(QStringLiteral("not a size in pixels: %1").arg(args[i + 1]));
        const QSize size(match.captured(1).toInt(), match.captured(2).toInt());

        const QIcon icon(source);
        if (icon.isNull())
            return fail(QStringLiteral("cannot read %1").arg(source));
        const QPixmap scaled = icon.pixmap(size, 1.0, QIcon::Normal, QIcon::Off);

        QImageWriter writer(output, "png");
        if (!writer.write(scaled.toImage()))
            return fail(QStringLiteral("cannot write %1: %2").arg(output, writer.errorString()));
        if (comparable(QPixmap(output)) != comparable(scaled))
            return fail(QStringLiteral("%1 does not read back as the pixels written").arg(output));
    }
    return 0;
}
