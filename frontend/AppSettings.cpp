#include "frontend/AppSettings.h"

namespace quillorn {

namespace {

const QString kSection = QStringLiteral("Settings");
const QString kVerticalMode = QStringLiteral("VerticalMode");
const QString kRepeatInterval = QStringLiteral("RepeatInterval");
const QString kDoRepeat = QStringLiteral("DoRepeat");
const QString kNoReviewsNoWrites = QStringLiteral("NoReviewsNoWrites");

int ReadInteger(const IniFile& ini, const QString& key, int fallback) {
    const std::optional<QString> text = ini.Value(kSection, key);
    if (!text)
        return fallback;
    return ParseIniInteger(*text).value_or(fallback);
}

bool ReadBool(const IniFile& ini, const QString& key, bool fallback) {
    return ReadInteger(ini, key, fallback ? 1 : 0) != 0;
}

QString BoolText(bool value) {
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

AppSettings AppSettings::Read(const IniFile& ini) {
    AppSettings defaults;
    AppSettings s;
    s.verticalMode = ReadBool(ini, kVerticalMode, defaults.verticalMode);
    s.repeatInterval = ReadInteger(ini, kRepeatInterval, defaults.repeatInterval);
    s.doRepeat = ReadBool(ini, kDoRepeat, defaults.doRepeat);
    s.noReviewsNoWrites = ReadBool(ini, kNoReviewsNoWrites, defaults.noReviewsNoWrites);
    return s;
}

void AppSettings::WriteTo(IniFile& ini) const {
    ini.SetValue(kSection, kVerticalMode, BoolText(verticalMode));
    ini.SetValue(kSection, kRepeatInterval, QString::number(repeatInterval));
    ini.SetValue(kSection, kDoRepeat, BoolText(doRepeat));
    ini.SetValue(kSection, kNoReviewsNoWrites, BoolText(noReviewsNoWrites));
}

}  // namespace quillorn
