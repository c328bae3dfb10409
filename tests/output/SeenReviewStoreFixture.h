// A seen-review store over a temporary folder, and the count line it logs.
#pragma once

#include <QRandomGenerator>
#include <algorithm>
#include "output/SeenReviewStore.h"
#include "platform/Errors.h"
#include "tests/output/OutputFixture.h"

namespace quillorn::test {

class SeenReviewStoreTest : public test::OutputFixture {
protected:
    QByteArray Stored() const { return Read("IdsDB.dat"); }
    QString CountLine(int n) const {
        return Stamp() +
               ": в файле IdsDB.dat взяты ID отзывов, которые не будут загружаться. Их "
               "количество: " +
               QString::number(n);
    }

    SeenReviewStore store{locale, log, dir};
};

}  // namespace quillorn::test
