#include "support/ScreenShot.h"

#include <QCoreApplication>
#include <QGuiApplication>
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

void saveWindowIfAsked(QWidget* window, const QString& name)
{
    const QString dir = qEnvironmentVariable("TALMENO_SCREENS_DIR");
    if (dir.isEmpty())
        return;
    window->show();
    QCoreApplication::processEvents();
    const bool offscreen = QGuiApplication::platformName() == "offscreen";
    const QPixmap picture = offscreen ? window->grab() : window->screen()->grabWindow(window->winId());
    picture.save(QDir(dir).filePath(name + ".png"));
}

} // namespace talmeno_test
