#include "artwork.h"

QString menuPicturePath(MenuPicture picture) {
    return QStringLiteral(":/images/menu/%1.png")
        .arg(static_cast<int>(picture), 2, 10, QLatin1Char('0'));
}

QString buttonWord(ButtonPicture button) {
    switch (button) {
        case ButtonPicture::Search:
            return QStringLiteral("Искать");
        case ButtonPicture::Ok:
            return QStringLiteral("OK");
        case ButtonPicture::Cancel:
            return QStringLiteral("Отмена");
    }
    return {};
}

QString buttonPictureFile(ButtonPicture button, ButtonLook look) {
    static const char* const buttons[] = {"search", "ok", "cancel"};
    static const char* const looks[] = {"normal", "hover", "pressed"};
    return QStringLiteral("%1_%2.png")
        .arg(QLatin1String(buttons[static_cast<int>(button)]),
             QLatin1String(looks[static_cast<int>(look)]));
}

QString buttonPicturePath(ButtonPicture button, ButtonLook look) {
    return QStringLiteral(":/images/") + buttonPictureFile(button, look);
}

const AboutText& aboutText() {
    static const AboutText text{
        QStringLiteral("Телефонный справочник"),
        QStringLiteral("г.Ольмарск"),
        QStringLiteral("Поиск абонентов городской телефонной сети по номеру телефона, фамилии и "
                       "адресу. Личный справочник с мобильными номерами. Экспорт в HTML и в "
                       "электронную таблицу, печать списка."),
        QStringLiteral("Версия 2004"),
    };
    return text;
}
