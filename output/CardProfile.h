// The profile of one firm card as the result table writes it. Every field is text, empty when the
// card page does not carry it; the run resets it for every card attempt.
#pragma once

#include <QString>

namespace quillorn {

struct CardProfile {
    QString BranchId;
    QString FirmName;
    QString City;
    QString Address;
    QString Rating;       // overall rating, already with the user's decimal separator
    QString RatingCount;  // number of ratings
    QString CardUrl;      // the trimmed line of the card list

    bool operator==(const CardProfile&) const = default;
};

}  // namespace quillorn
