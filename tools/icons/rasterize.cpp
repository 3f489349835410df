// Renders every SVG of a folder into a 32-bit RGBA PNG of the given size.
// Usage: talmeno-rasterize <svg folder> <png folder> <size>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: %s <svg folder> <png folder> <size>\n", argv[0]);
        return 2;
    }
    const QDir source(args.at(1));
    QDir target(args.at(2));
    const int size = args.at(3).toInt();
    if (!source.exists() || size <= 0 || !target.mkpath(".")) {
        std::fprintf(stderr, "bad arguments\n");
        return 2;
    }
    int failures = 0;
    for (const QString& file : source.entryList({"*.svg"}, QDir::Files, QDir::Name)) {
        QSvgRenderer renderer(source.filePath(file));
        if (!renderer.isValid()) {
            std::fprintf(stderr, "invalid: %s\n", qPrintable(file));
            ++failures;
            continue;
        }
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            renderer.render(&painter, QRectF(0, 0, size, size));
        }
        const QString out = target.filePath(QFileInfo(file).completeBaseName() + ".png");
        if (!image.save(out, "PNG")) {
            std::fprintf(stderr, "not written: %s\n", qPrintable(out));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
