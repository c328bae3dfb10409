// settings.ini as the user may have edited it, read into the window's options and written back the
// way the window saves it on closing. Shared by the fuzz target and the test that replays its saved
// inputs.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <climits>
#include <utility>

#include "frontend/AppSettings.h"
#include "frontend/IniFile.h"
#include "fuzz/FuzzTarget.h"
#include "output/LineSplit.h"
#include "platform/TextEncoding.h"

namespace quillorn::fuzz {

using IniName = std::pair<QString, QString>;  // section, key

// The keys (at most 64) of each section's first occurrence, which the profile functions read:
// each must be found, and keep its value through a save.
inline QList<IniName> IniNames(const QByteArray& bytes) {
    QList<IniName> names;
    QStringList seen;
    bool first = false;
    QString section;
    for (const QString& line : SplitLines(DecodeByMark(bytes).text)) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'[') && trimmed.contains(u']')) {
            section = trimmed.mid(1, trimmed.indexOf(u']') - 1).trimmed();
            first = !seen.contains(section, Qt::CaseInsensitive);
            seen.append(section);
        } else if (first && line.indexOf(u'=') > 0 && names.size() < 64) {
            names.append({section, line.left(line.indexOf(u'=')).trimmed()});
        }
    }
    return names;
}

inline bool IsSettingsKey(const IniName& name) {
    if (name.first.compare(QStringLiteral("Settings"), Qt::CaseInsensitive) != 0)
        return false;
    for (const char* key : {"VerticalMode", "RepeatInterval", "DoRepeat", "NoReviewsNoWrites"}) {
        if (name.second.compare(QLatin1String(key), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

inline QString Described(const AppSettings& s) {
    return QStringLiteral("{%1, %2, %3, %4}")
        .arg(s.verticalMode)
        .arg(s.repeatInterval)
        .arg(s.doRepeat)
        .arg(s.noReviewsNoWrites);
}

// Whatever the file holds, the options read from it, and every other set of options, must read
// back from what a save writes; a save keeps the encoding and every value of other keys, and saving
// what was read again changes no byte.
inline QString CheckSettingsIni(const QByteArray& bytes) {
    IniFile ini = IniFile::FromBytes(bytes);
    const AppSettings read = AppSettings::Read(ini);
    const QList<IniName> names = IniNames(bytes);
    QList<std::optional<QString>> values;
    for (const IniName& name : names) {
        values.append(ini.Value(name.first, name.second));
        if (!values.back())
            return QStringLiteral("[%1] %2 not found").arg(Shown(name.first), Shown(name.second));
    }
    const DecodedText original = DecodeByMark(bytes);

    const QList<AppSettings> saves = {
        read,
        {!read.verticalMode, ~read.repeatInterval, !read.doRepeat, !read.noReviewsNoWrites},
        {true, INT_MIN, true, false},
        {false, INT_MAX, false, true}};
    for (const AppSettings& saved : saves) {
        saved.WriteTo(ini);
        const QByteArray written = ini.ToBytes();
        const IniFile again = IniFile::FromBytes(written);
        if (AppSettings::Read(again) != saved)
            return QStringLiteral("saved %1, read back %2")
                .arg(Described(saved), Described(AppSettings::Read(again)));
        const DecodedText decoded = DecodeByMark(written);
        if (decoded.encoding != original.encoding || decoded.hadMark != original.hadMark)
            return QStringLiteral("a save changed the file's encoding");
        for (int i = 0; i < names.size(); ++i) {
            if (!IsSettingsKey(names[i]) &&
                again.Value(names[i].first, names[i].second) != values[i])
                return QStringLiteral("a save changed [%1] %2")
                    .arg(Shown(names[i].first), Shown(names[i].second));
        }
        if (again.ToBytes() != written)
            return QStringLiteral("a second save of the same file changed its bytes");
    }
    return {};
}

}  // namespace quillorn::fuzz
