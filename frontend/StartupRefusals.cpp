#include "frontend/StartupRefusals.h"

#include <QDir>

namespace quillorn {

namespace {

QString CommonEnding() {
    return QStringLiteral(
        "Для корректной работы программы извлеките файлы программы из архива в отдельную папку. "
        "Это можно сделать, кликнув правой кнопкой мыши на архиве и выбрав пункт меню "
        "\"Извлечь все\"");
}

const QString kLineBreak = QStringLiteral("\r\n");

}  // namespace

std::optional<QString> StartupRefusal(const QString& appDir, bool tlsAvailable) {
    // A Windows path may come with backslashes (D:\Temp\Rar$EXa0.123\); on Linux a backslash
    // is a letter of a name and stays one.
    const QString path = QDir::fromNativeSeparators(appDir);
    if (path.contains(QStringLiteral("Rar$"), Qt::CaseSensitive)) {
        return QStringLiteral("Вы запустили программу изнутри архива!") + kLineBreak +
               CommonEnding();
    }
    if (path.contains(QStringLiteral("/temp/"), Qt::CaseInsensitive)) {
        return QStringLiteral("Программа запущена из временной папки!") + kLineBreak +
               QStringLiteral("Скорее всего, Вы запустили программу изнутри архива.") + kLineBreak +
               CommonEnding();
    }
    if (!tlsAvailable) {
        return QStringLiteral("Программа не обнаружила необходимые для работы файлы!") +
               kLineBreak + QStringLiteral("Вероятно, Вы запустили программу изнутри архива!") +
               kLineBreak + CommonEnding();
    }
    return std::nullopt;
}

}  // namespace quillorn
