// One review as the reviews feed delivers it. Every text is empty when absent; HasAuthor tells an
// anonymous review (no author member at all) from one whose author fields are merely empty.
#pragma once

#include <QString>

namespace quillorn {

struct ReviewRecord {
    QString Id;
    bool HasAuthor = false;
    QString AuthorName;
    QString AuthorReviewCount;
    QString AuthorProfileUrl;
    QString Text;
    QString DateCreated;
    QString Rating;
    QString LikesCount;
    QString OfficialAnswer;
};

}  // namespace quillorn
