// Arbitrary pages through the card page reader, shared by the fuzz target and the test that
// replays its saved inputs: whatever the directory sends, the reader either answers with a branch
// id or raises Failure, never crashes or hangs.
#pragma once

#include <QByteArray>
#include <QString>

#include "fuzz/FuzzTarget.h"
#include "harvest/CardPageReader.h"
#include "platform/Errors.h"

namespace quillorn::fuzz {

// The page as the run reads it: UTF-8, the decimal comma of the users' locale.
inline CardPage ReadCardPage(const QByteArray& input) {
    return CardPageReader(QStringLiteral(",")).Read(QString::fromUtf8(input));
}

inline QString CheckCardPage(const QByteArray& input) {
    try {
        // "Broken" is raised for a page without a branch id, so one that reads must carry it.
        if (ReadCardPage(input).Profile.BranchId.isEmpty())
            return QStringLiteral("a page read without a branch id");
    } catch (const Failure& failure) {
        if (failure.Message() != QStringLiteral("Broken"))
            return QStringLiteral("a page failed with ") + Shown(failure.Message());
    }
    return {};
}

}  // namespace quillorn::fuzz
