// The options the window keeps from one program start to the next, in section "Settings" of
// settings.ini: the layout, the repeat interval and switch, and whether cards without new reviews
// are left out. The pause between cards is deliberately not kept.
#pragma once

#include <QString>

#include "frontend/IniFile.h"

namespace quillorn {

struct AppSettings {
    bool verticalMode = true;
    int repeatInterval = 300;  // minutes
    bool doRepeat = false;
    bool noReviewsNoWrites = true;

    // A key that is missing or holds no integer gives its default; a boolean is any integer but 0.
    static AppSettings Read(const IniFile& ini);
    // The four keys in their fixed order, booleans as 1 and 0.
    void WriteTo(IniFile& ini) const;

    bool operator==(const AppSettings&) const = default;
};

inline constexpr const char* kSettingsFileName = "settings.ini";

}  // namespace quillorn
