#include "dialogs/AboutTexts.h"

#include "platform/ProductInfo.h"

QString VersionText(const QString& fileVersion) {
    QString text = QStringLiteral("Version ") + fileVersion;
    for (int cut = 0; cut < 2; ++cut) {
        const qsizetype dot = text.lastIndexOf(QLatin1Char('.'));
        if (dot < 0 || QStringView(text).mid(dot + 1) != QLatin1String("0")) {
            break;
        }
        text.truncate(dot);
    }
    return text;
}

AboutTexts DesignAboutTexts() {
    return {QStringLiteral("Version 0.0.0"), QString::fromLatin1(ProductInfo::CopyrightLine)};
}

AboutTexts AboutTextsFrom(const std::optional<VersionInfo>& info) {
    AboutTexts texts = DesignAboutTexts();
    if (!info) {
        return texts;
    }
    texts.version = info->fileVersion ? VersionText(*info->fileVersion) : QString();
    if (info->copyright) {
        texts.copyright = *info->copyright;
    }
    return texts;
}
