#include "platform/TrimControls.h"

namespace quillorn {

namespace {

bool IsTrimmed(QChar c) {
    return c.unicode() <= 0x20;
}

}  // namespace

QString TrimControls(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsTrimmed(text.at(begin)))
        ++begin;
    while (end > begin && IsTrimmed(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

}  // namespace quillorn
