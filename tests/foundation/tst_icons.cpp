// Icon manager: tinting, the tinted-copy folders per colour set, and the three
// number tables.
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "foundation/ZIconsManager.h"
#include "support/testenv.h"

namespace {

const QColor kNormal("#232323");
const QColor kDisabled("#bcbcbc");
const QColor kHover("#1c9dff");
const QColor kPressed("#0078d7");

QStringList resourcePictures(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Readable | QDir::NoSymLinks);
}

// Every file below a folder with its last-modified stamp and size.
QMap<QString, QPair<qint64, qint64>> snapshot(const QString& folder)
{
    QMap<QString, QPair<qint64, qint64>> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        files.insert(it.filePath(),
                     {it.fileInfo().lastModified().toMSecsSinceEpoch(), it.fileInfo().size()});
    }
    return files;
}

// Checks that every pixel of `tinted` has the colour and the alpha of `source`.
void expectTinted(const QImage& source, const QImage& tinted, const QColor& colour)
{
    QCOMPARE(tinted.size(), source.size());
    const QImage src = source.convertToFormat(QImage::Format_ARGB32);
    const QImage out = tinted.convertToFormat(QImage::Format_ARGB32);
    int opaque = 0;
    for (int y = 0; y < src.height(); ++y) {
        for (int x = 0; x < src.width(); ++x) {
            const QRgb s = src.pixel(x, y);
            const QRgb t = out.pixel(x, y);
            QVERIFY2(qAbs(qAlpha(s) - qAlpha(t)) <= 1,
                     qPrintable(QString("alpha %1 -> %2 at %3,%4").arg(qAlpha(s)).arg(qAlpha(t)).arg(x).arg(y)));
            if (qAlpha(s) >= 64) {
                ++opaque;
                QVERIFY2(qAbs(qRed(t) - colour.red()) <= 3 && qAbs(qGreen(t) - colour.green()) <= 3
                             && qAbs(qBlue(t) - colour.blue()) <= 3,
                         qPrintable(QString("colour %1 at %2,%3").arg(QColor(t).name()).arg(x).arg(y)));
            }
        }
    }
    QVERIFY(opaque > 0);
}

} // namespace

class TestIcons : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    ZIconsManager* icons_ = nullptr;
    QString colorFolder_;

    // The colour set the cases from setColorsWritesEveryTintedCopy on work in: made
    // there, or here for a case run alone.
    void useColours()
    {
        if (colorFolder_.isEmpty())
            colorFolder_ = icons_->setColors(kNormal, kDisabled, kHover, kPressed);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        icons_ = ZIconsManager::instance(dir_.path() + "/color_scheme", nullptr);
        QCOMPARE(ZIconsManager::instance(), icons_);
        QCOMPARE(ZIconsManager::instance("/elsewhere", this), icons_);
        QCOMPARE(icons_->schemeFolder(), dir_.path() + "/color_scheme");
    }

    // Before any colour set exists, icons are the plain pictures, nothing is written
    // (in particular not into the root folder) and nothing is cached for later.
    void iconBeforeColours()
    {
        QVERIFY(icons_->generalIconsFolder().isEmpty());
        const QIcon plain = icons_->icon(50);
        QVERIFY(!plain.isNull());
        QVERIFY(!plain.pixmap(32).isNull());
        QVERIFY(!QFileInfo::exists("/openfile_normal.png"));
        QVERIFY(!QFileInfo::exists(dir_.path() + "/color_scheme"));
    }

    void tintKeepsAlphaAndTakesColour()
    {
        // A picture with every level of alpha and mixed colours.
        QImage source(32, 16, QImage::Format_ARGB32);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 32; ++x)
                source.setPixel(x, y, qRgba(x * 8, 255 - y * 16, 90, (x * 8 + y) & 0xff));
        const QString path = dir_.path() + "/tint/mixed.png";
        QDir().mkpath(dir_.path() + "/tint");
        QVERIFY(tintImage(source, kHover, path));
        QImage tinted(path);
        QVERIFY(!tinted.isNull());
        expectTinted(source, tinted, kHover);
        // Nothing but the final file is left behind.
        QCOMPARE(QDir(dir_.path() + "/tint").entryList(QDir::Files | QDir::Hidden), QStringList{"mixed.png"});
    }

    void tintConvertsPalettePictures()
    {
        QImage palette(8, 8, QImage::Format_Indexed8);
        palette.setColorTable({qRgba(0, 0, 0, 0), qRgba(10, 200, 30, 255), qRgba(250, 0, 0, 128)});
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                palette.setPixel(x, y, (x + y) % 3);
        const QString path = dir_.path() + "/tint/palette.png";
        QDir().mkpath(dir_.path() + "/tint");
        QVERIFY(tintImage(palette, kPressed, path));
        expectTinted(palette, QImage(path), kPressed);
        QVERIFY(!tintImage(QImage(), kPressed, dir_.path() + "/tint/none.png"));
        QVERIFY(!QFileInfo::exists(dir_.path() + "/tint/none.png"));
    }

    void stateIconPathUsesBaseNameAndSuffix()
    {
        QCOMPARE(ZIconsManager::stateIconPath("/f", "play.png", 1), QString("/f/play_normal.png"));
        QCOMPARE(ZIconsManager::stateIconPath("/f", "a.b.png", 2), QString("/f/a_hover.png"));
        QCOMPARE(ZIconsManager::stateIconPath("/f", "accx+.png", 3), QString("/f/accx+_pressedOrChecked.png"));
        QCOMPARE(ZIconsManager::stateIconPath("/f", "x.png", 0), QString("/f/x_disabled.png"));
    }

    void setColorsWritesEveryTintedCopy()
    {
        colorFolder_ = icons_->setColors(kNormal, kDisabled, kHover, kPressed);
        QCOMPARE(colorFolder_, dir_.path() + "/color_scheme/#232323,#bcbcbc,#1c9dff,#0078d7");
        QCOMPARE(icons_->generalIconsFolder(), colorFolder_ + "/general_icons");
        const QColor colours[] = {kDisabled, kNormal, kHover, kPressed};
        for (const QString& sub : {QStringLiteral("internal_icons"), QStringLiteral("general_icons")}) {
            const QStringList pictures = resourcePictures(":/color_scheme/" + sub);
            QVERIFY(pictures.size() >= 11);
            QCOMPARE(QDir(colorFolder_ + "/" + sub).entryList(QDir::Files).size(), pictures.size() * 4);
            for (const QString& picture : pictures) {
                for (int state = 0; state < 4; ++state)
                    QVERIFY2(QFileInfo::exists(ZIconsManager::stateIconPath(colorFolder_ + "/" + sub, picture, state)),
                             qPrintable(picture));
            }
        }
        // One picture checked pixel by pixel in every state.
        const QImage source(":/color_scheme/general_icons/play.png");
        for (int state = 0; state < 4; ++state)
            expectTinted(source, QImage(ZIconsManager::stateIconPath(icons_->generalIconsFolder(), "play.png", state)),
                         colours[state]);
    }

    void sameColoursWriteNothing()
    {
        useColours();
        const auto before = snapshot(dir_.path() + "/color_scheme");
        // A copy removed behind the manager's back stays missing: equal colours return at once.
        const QString removed = ZIconsManager::stateIconPath(icons_->generalIconsFolder(), "save.png", 1);
        QVERIFY(QFile::remove(removed));
        QCOMPARE(icons_->setColors(kNormal, kDisabled, kHover, kPressed), colorFolder_);
        QVERIFY(!QFileInfo::exists(removed));
        auto after = snapshot(dir_.path() + "/color_scheme");
        auto expected = before;
        expected.remove(removed);
        QCOMPARE(after, expected);
    }

    // A colour set coming back finds its folder: complete files are reused as they
    // are, and what an interrupted run left missing is completed.
    void returningColourSetReusesAndCompletes()
    {
        useColours();
        const QString general = colorFolder_ + "/general_icons";
        const QString removed = ZIconsManager::stateIconPath(general, "save.png", 1);
        // Mark one existing copy so a rewrite would show.
        const QString marked = ZIconsManager::stateIconPath(general, "play.png", 1);
        QImage marker(4, 4, QImage::Format_ARGB32);
        marker.fill(Qt::magenta);
        QVERIFY(marker.save(marked));
        // And drop a whole picture's copies plus a stale partial file.
        for (int state = 0; state < 4; ++state)
            QVERIFY(QFile::remove(ZIconsManager::stateIconPath(general, "zoom.png", state)));
        QFile stale(general + "/.zoom_normal.png.part");
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("half");
        stale.close();

        const QString other = icons_->setColors(Qt::white, Qt::gray, Qt::yellow, Qt::green);
        QCOMPARE(QFileInfo(other).fileName(), QString("#ffffff,#a0a0a4,#ffff00,#00ff00"));
        QVERIFY(QFileInfo::exists(ZIconsManager::stateIconPath(other + "/general_icons", "zoom.png", 1)));

        QCOMPARE(icons_->setColors(kNormal, kDisabled, kHover, kPressed), colorFolder_);
        QCOMPARE(QImage(marked).size(), QSize(4, 4));
        QVERIFY(QFileInfo::exists(removed));
        const QImage zoomSource(":/color_scheme/general_icons/zoom.png");
        expectTinted(zoomSource, QImage(ZIconsManager::stateIconPath(general, "zoom.png", 1)), kNormal);
        expectTinted(zoomSource, QImage(ZIconsManager::stateIconPath(general, "zoom.png", 0)), kDisabled);
        QCOMPARE(QDir(general).entryList(QDir::Files).size(),
                 resourcePictures(":/color_scheme/general_icons").size() * 4);
        // Restore the marked copy for the icon checks below.
        QVERIFY(QFile::remove(marked));
        QVERIFY(tintImage(QImage(":/color_scheme/general_icons/play.png"), kNormal, marked));
    }

    void iconUsesTintedCopiesPerMode()
    {
        useColours();
        const QIcon play = icons_->icon(53);
        QVERIFY(!play.isNull());
        const QImage source = QImage(":/color_scheme/general_icons/play.png");
        expectTinted(source, play.pixmap(source.size(), QIcon::Normal).toImage(), kNormal);
        expectTinted(source, play.pixmap(source.size(), QIcon::Disabled).toImage(), kDisabled);
        expectTinted(source, play.pixmap(source.size(), QIcon::Active).toImage(), kHover);
        // Cached: the same icon comes back even after the colours changed.
        icons_->setColors(Qt::white, Qt::gray, Qt::yellow, Qt::green);
        expectTinted(source, icons_->icon(53).pixmap(source.size(), QIcon::Normal).toImage(), kNormal);
        // A first request after the change takes the new colours.
        const QImage pauseSource(":/color_scheme/general_icons/pause.png");
        expectTinted(pauseSource, icons_->icon(52).pixmap(pauseSource.size()).toImage(), Qt::white);
        icons_->setColors(kNormal, kDisabled, kHover, kPressed);
    }

    void toggleIconHasBothPictures()
    {
        useColours();
        const QIcon toggle = icons_->toggleIcon(1);
        QVERIFY(!toggle.isNull());
        const QImage off = toggle.pixmap(64, QIcon::Normal, QIcon::Off).toImage();
        const QImage on = toggle.pixmap(64, QIcon::Normal, QIcon::On).toImage();
        expectTinted(QImage(":/color_scheme/general_icons/switch_off.png"), off, kNormal);
        expectTinted(QImage(":/color_scheme/general_icons/switch_on.png"), on, kNormal);
        QVERIFY(off != on);
        const QIcon link = icons_->toggleIcon(0);
        QVERIFY(link.pixmap(64, QIcon::Normal, QIcon::Off).toImage()
                != link.pixmap(64, QIcon::Normal, QIcon::On).toImage());
        expectTinted(QImage(":/color_scheme/general_icons/connected.png"),
                     link.pixmap(64, QIcon::Disabled, QIcon::On).toImage(), kDisabled);
    }

    void colorIconsAreUntinted()
    {
        const QImage gray = icons_->colorIcon(6).pixmap(64).toImage();
        QVERIFY(!gray.isNull());
        for (int id : {14, 18, 22})
            QCOMPARE(icons_->colorIcon(id).pixmap(64).toImage(), gray);
        QCOMPARE(gray.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 QImage(":/images/lightgray.png").convertToFormat(QImage::Format_ARGB32_Premultiplied));
        // Green and red lights really differ in hue.
        const QColor green = icons_->colorIcon(7).pixmap(64).toImage().pixelColor(32, 40);
        const QColor red = icons_->colorIcon(8).pixmap(64).toImage().pixelColor(32, 40);
        QVERIFY(green.green() > green.red());
        QVERIFY(red.red() > red.green());
        QCOMPARE(icons_->colorIcon(0).pixmap(64).toImage(), icons_->colorIcon(1).pixmap(64).toImage());
        QVERIFY(!icons_->colorIcon(1).isNull());
    }

    void idsOutsideTablesGiveEmptyIcons()
    {
        for (int id : {-1, 109, 1000})
            QVERIFY2(icons_->icon(id).isNull(), qPrintable(QString::number(id)));
        for (int id : {-1, 2})
            QVERIFY(icons_->toggleIcon(id).isNull());
        for (int id : {-1, 30})
            QVERIFY(icons_->colorIcon(id).isNull());
        QVERIFY(!icons_->icon(108).isNull());
        QVERIFY(!icons_->colorIcon(29).isNull());
    }

    // Every file the tables name is compiled in, as a picture with an alpha channel.
    void tablesNameExistingPictures()
    {
        QCOMPARE(ZIconsManager::generalIconCount(), 109);
        QCOMPARE(ZIconsManager::toggleIconCount(), 2);
        QCOMPARE(ZIconsManager::colorIconCount(), 30);
        QStringList names;
        for (int id = 0; id < ZIconsManager::generalIconCount(); ++id)
            names << ":/color_scheme/general_icons/" + ZIconsManager::generalIconName(id);
        for (int id = 0; id < ZIconsManager::toggleIconCount(); ++id)
            names << ":/color_scheme/general_icons/" + ZIconsManager::toggleIconNames(id).first
                  << ":/color_scheme/general_icons/" + ZIconsManager::toggleIconNames(id).second;
        for (int id = 0; id < ZIconsManager::colorIconCount(); ++id)
            names << ":/images/" + ZIconsManager::colorIconName(id);
        for (const char* name : {"checkbox_unchecked", "checkbox_checked", "checkbox_indeterminate",
                                    "radio_unchecked", "radio_checked", "up_arrow", "down_arrow",
                                    "left_arrow", "right_arrow", "branch_open", "branch_closed"})
            names << ":/color_scheme/internal_icons/" + QString(name) + ".png";
        for (const QString& name : names) {
            const QImage image(name);
            QVERIFY2(!image.isNull(), qPrintable(name));
            QVERIFY2(image.hasAlphaChannel(), qPrintable(name));
            QVERIFY2(image.pixelColor(0, 0).alpha() == 0, qPrintable(name + " background not transparent"));
        }
        // Positions the rest of the program relies on.
        QCOMPARE(ZIconsManager::generalIconName(0), QString("addtag.png"));
        QCOMPARE(ZIconsManager::generalIconName(6), QString("clear.png"));
        QCOMPARE(ZIconsManager::generalIconName(11), QString("config.png"));
        QCOMPARE(ZIconsManager::generalIconName(50), QString("openfile.png"));
        QCOMPARE(ZIconsManager::generalIconName(53), QString("play.png"));
        QCOMPARE(ZIconsManager::generalIconName(88), QString("color-palette.png"));
        QCOMPARE(ZIconsManager::generalIconName(90), QString("accx+.png"));
        QCOMPARE(ZIconsManager::generalIconName(107), QString("history.png"));
        QCOMPARE(ZIconsManager::generalIconName(108), QString("zoom.png"));
        QCOMPARE(ZIconsManager::toggleIconNames(0), qMakePair(QString("disconnected.png"), QString("connected.png")));
        QCOMPARE(ZIconsManager::colorIconName(13), QString("consoleyellow.png"));
        QCOMPARE(ZIconsManager::colorIconName(26), QString("lightblue.png"));
        QCOMPARE(ZIconsManager::colorIconName(27), QString("lightcyan.png"));
        // The general pictures are distinct drawings, not copies of one another.
        QSet<QByteArray> contents;
        for (int id = 0; id < ZIconsManager::generalIconCount(); ++id) {
            QFile file(":/color_scheme/general_icons/" + ZIconsManager::generalIconName(id));
            QVERIFY(file.open(QIODevice::ReadOnly));
            contents.insert(file.readAll());
        }
        QCOMPARE(contents.size(), ZIconsManager::generalIconCount());
    }

    void cleanupTestCase()
    {
        delete icons_;
        QVERIFY(ZIconsManager::instance(dir_.path() + "/again") != nullptr);
        QCOMPARE(ZIconsManager::instance()->schemeFolder(), dir_.path() + "/again");
        delete ZIconsManager::instance();
    }
};

TALMENO_TEST_MAIN(TestIcons)
#include "tst_icons.moc"
