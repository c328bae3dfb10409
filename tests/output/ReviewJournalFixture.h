// A review journal and a seen-review store over a temporary folder.
#pragma once

#include "output/AcceptReview.h"
#include "output/ReviewJournal.h"
#include "output/SeenReviewStore.h"
#include "platform/Errors.h"
#include "tests/output/OutputFixture.h"

namespace quillorn::test {

class ReviewJournalTest : public test::OutputFixture {
protected:
    QByteArray Journal() const { return Read("IdDates.dat"); }

    ReviewJournal journal{locale, dir};
    SeenReviewStore store{locale, log, dir};
};

}  // namespace quillorn::test
