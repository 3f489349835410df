#include "support/ScreenShot.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QSet>
#include <QWidget>

namespace talmeno_test {

bool saveScreen(QWidget* window, const QString& fileName)
{
    QCoreApplication::processEvents();
    const QPixmap pixmap = window->screen()->grabWindow(window->winId());
    if (pixmap.isNull())
        return false;
    const QImage image = pixmap.toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            colours.insert(image.pixel(x, y));
    if (colours.size() < 8)
        return false;
    QString folder = qEnvironmentVariable("TALMENO_SCREENS_DIR");
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return pixmap.save(QDir(folder).filePath(fileName));
}

} // namespace talmeno_test
