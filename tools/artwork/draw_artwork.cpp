// draw_artwork <folder>: draws every picture of the program into PNG files in <folder>
// (menu pictures go to <folder>/menu). Run it with QT_QPA_PLATFORM=offscreen.
#include <QDir>
#include <QFontInfo>
#include <QGuiApplication>
#include <QTextStream>

#include "painting.h"

namespace {

bool save(const QImage& image, const QString& path) {
    if (image.save(path, "PNG")) {
        return true;
    }
    QTextStream(stderr) << "draw_artwork: cannot write " << path << '\n';
    return false;
}

bool fontsPresent() {
    for (bool bold : {false, true}) {
        const QFontInfo info(artwork::dejavu(12, bold));
        if (info.family() != QLatin1String(artwork::kFontFamily) || info.bold() != bold) {
            QTextStream(stderr) << "draw_artwork: font \"" << artwork::kFontFamily << "\""
                                << (bold ? " Bold" : "") << " is not installed (got \""
                                << info.family() << "\")\n";
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: draw_artwork <output folder>\n";
        return 2;
    }
    if (!fontsPresent()) {
        return 1;
    }
    const QDir out(args.at(1));
    if (!out.mkpath(QStringLiteral("menu"))) {
        QTextStream(stderr) << "draw_artwork: cannot create " << out.filePath("menu") << '\n';
        return 1;
    }

    bool ok = save(artwork::drawBackground(), out.filePath("background.png"));
    ok = save(artwork::drawAbout(), out.filePath("about.png")) && ok;
    ok = save(artwork::drawDeskPhone(32), out.filePath("icon.png")) && ok;
    ok = save(artwork::drawDeskPhone(64), out.filePath("icon_64.png")) && ok;
    ok = save(artwork::drawDeskPhone(128), out.filePath("icon_128.png")) && ok;
    for (ButtonPicture button : {ButtonPicture::Search, ButtonPicture::Ok, ButtonPicture::Cancel}) {
        for (ButtonLook look : {ButtonLook::Normal, ButtonLook::Hover, ButtonLook::Pressed}) {
            const QImage picture = artwork::drawButton(buttonWord(button).toUpper(), look);
            ok = save(picture, out.filePath(buttonPictureFile(button, look))) && ok;
        }
    }
    for (int i = 0; i < kMenuPictureCount; ++i) {
        const QString file = QStringLiteral("menu/%1.png").arg(i, 2, 10, QLatin1Char('0'));
        ok = save(artwork::drawMenuIcon(static_cast<MenuPicture>(i)), out.filePath(file)) && ok;
    }
    return ok ? 0 : 1;
}
