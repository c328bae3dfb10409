// The profile of one stand-in firm as the result table writes it: a café in Novosibirsk whose
// name carries quotes, with a rating in the users' decimal-comma form. For rows written without
// a card page (result table, workbook and feed tests, benchmarks).
#pragma once

#include <QString>

#include "output/CardProfile.h"

namespace quillorn::standin {

inline CardProfile SampleProfile(const QString& branchId = QStringLiteral("70000001")) {
    CardProfile profile;
    profile.BranchId = branchId;
    profile.FirmName = QStringLiteral("Кафе \"Уют\"");
    profile.City = QStringLiteral("Новосибирск");
    profile.Address = QStringLiteral("Ленина, 1");
    profile.Rating = QStringLiteral("4,5");
    profile.RatingCount = QStringLiteral("120");
    profile.CardUrl = QStringLiteral("https://2gis.ru/firm/") + branchId;
    return profile;
}

}  // namespace quillorn::standin
