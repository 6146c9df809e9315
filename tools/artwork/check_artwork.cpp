// The compiled-in pictures as the program sees them: every name under :/images with its
// exact size, the quiet areas where text and inputs sit, and identical files on a redraw.
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "artwork.h"

namespace {

struct Picture {
    QString name;
    QSize size;
};

QList<Picture> pictures() {
    QList<Picture> list = {{"background", {725, 415}},
                           {"about", {312, 243}},
                           {"icon", {32, 32}},
                           {"icon_64", {64, 64}},
                           {"icon_128", {128, 128}}};
    for (const char* button : {"search", "ok", "cancel"}) {
        list.append({QStringLiteral("%1_normal").arg(button), {73, 29}});
        list.append({QStringLiteral("%1_hover").arg(button), {73, 29}});
        list.append({QStringLiteral("%1_pressed").arg(button), {71, 29}});
    }
    for (int i = 0; i <= 12; ++i) {
        list.append({QStringLiteral("menu/%1").arg(i, 2, 10, QLatin1Char('0')), {16, 16}});
    }
    return list;
}

QString resource(const QString& name) {
    return QStringLiteral(":/images/%1.png").arg(name);
}

// The spread of brightness over a rectangle (both edges included), 0..255.
int contrast(const QImage& image, const QRect& area) {
    int low = 255;
    int high = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            low = std::min(low, grey);
            high = std::max(high, grey);
        }
    }
    return high - low;
}

bool fullyOpaque(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 255) {
                return false;
            }
        }
    }
    return true;
}

// Pixels at least half covered.
int solidPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += qAlpha(image.pixel(x, y)) >= 128 ? 1 : 0;
        }
    }
    return count;
}

}  // namespace

class CheckArtwork : public QObject {
    Q_OBJECT

private slots:
    void loadsWithItsSize_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        for (const Picture& picture : pictures()) {
            QTest::newRow(qPrintable(picture.name)) << picture.name << picture.size;
        }
    }

    void loadsWithItsSize() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QVERIFY2(QFile::exists(resource(name)), qPrintable(resource(name)));
        const QImage image(resource(name));
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), size);
    }

    // Reached through menuPicturePath(), as the menus do.
    void menuPicturesStandOnTransparency() {
        for (int i = 0; i < kMenuPictureCount; ++i) {
            const QImage image(menuPicturePath(static_cast<MenuPicture>(i)));
            QVERIFY2(!image.isNull(), qPrintable(QString::number(i)));
            QVERIFY(image.hasAlphaChannel());
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            QVERIFY2(solidPixels(image) >= 50, qPrintable(QString::number(i)));
            QVERIFY2(solidPixels(image) < 16 * 16, qPrintable(QString::number(i)));
        }
    }

    void buttonsCarryWhiteLettersOnBlue() {
        for (const char* button : {"search", "ok", "cancel"}) {
            for (const char* state : {"normal", "hover", "pressed"}) {
                const QImage image(resource(QStringLiteral("%1_%2").arg(button, state)));
                const QColor plate = image.pixelColor(4, image.height() / 2);
                QCOMPARE(plate.alpha(), 255);
                QVERIFY(plate.blue() > plate.red() + 60);
                int white = 0;
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, image.height() / 2);
                    white += c.lightness() > 215 && c.saturation() < 60 ? 1 : 0;
                }
                QVERIFY2(white >= 3, qPrintable(QStringLiteral("%1_%2").arg(button, state)));
            }
        }
    }

    void textAreasStayQuiet() {
        const QImage background(resource("background"));
        QVERIFY(fullyOpaque(background));
        // Where the labels and inputs of the main window and of a dialog sit.
        QCOMPARE_LE(contrast(background, QRect(QPoint(10, 50), QPoint(160, 240))), 12);
        QCOMPARE_LE(contrast(background, QRect(QPoint(294, 71), QPoint(590, 312))), 20);
        // The spot of the about dialog's OK button.
        const QImage about(resource("about"));
        QVERIFY(fullyOpaque(about));
        QCOMPARE_LE(contrast(about, QRect(QPoint(222, 158), QPoint(299, 191))), 12);
    }

    void redrawingGivesTheSameFiles() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QProcess draw;
        draw.start(QStringLiteral(DRAW_ARTWORK_PROGRAM), {dir.path()});
        QVERIFY(draw.waitForFinished(60000));
        QCOMPARE(draw.exitCode(), 0);
        for (const Picture& picture : pictures()) {
            QFile drawn(dir.filePath(picture.name + ".png"));
            QFile compiled(resource(picture.name));
            QVERIFY(drawn.open(QIODevice::ReadOnly));
            QVERIFY(compiled.open(QIODevice::ReadOnly));
            QVERIFY2(drawn.readAll() == compiled.readAll(), qPrintable(picture.name));
        }
    }
};

QTEST_MAIN(CheckArtwork)
#include "check_artwork.moc"
