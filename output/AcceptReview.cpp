#include "output/AcceptReview.h"

#include "output/ReviewJournal.h"
#include "output/RunLog.h"
#include "output/SeenReviewStore.h"
#include "platform/Errors.h"

namespace quillorn {

bool AcceptReview(const QString& id, SeenReviewStore& store, ReviewJournal& journal, RunLog& log) {
    if (store.Contains(id)) {
        log.Add(QStringLiteral(": пропускаем отзыв ") + id + QStringLiteral(", он выгружен ранее"));
        return false;
    }
    store.Add(id);
    try {
        journal.Append(id);
    } catch (const OutputFailure&) {
        // Not recorded, so not taken: the store must not keep a review nobody received.
        store.Remove(id);
        throw;
    }
    return true;
}

QString StorableReviewId(const QString& feedId) {
    if (!feedId.contains(u'\r') && !feedId.contains(u'\n'))
        return feedId;
    QString id = feedId;
    id.replace(u'\r', QStringLiteral("&#13;"));
    id.replace(u'\n', QStringLiteral("&#10;"));
    return id;
}

}  // namespace quillorn
