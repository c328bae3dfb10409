#include "standin/StandInDirectory.h"

#include <utility>

namespace quillorn::standin {

namespace {

const QByteArray kFeedPathPrefix = "/2.0/branches/";
const QByteArray kFeedPathSuffix = "/reviews";

// The value of name=... in a query, up to the next '&'.
QByteArray QueryValue(const QByteArray& query, const QByteArray& name) {
    for (const QByteArray& pair : query.split('&')) {
        if (pair.startsWith(name + "="))
            return pair.mid(name.size() + 1);
    }
    return {};
}

}  // namespace

StandInDirectory::StandInDirectory() {
    site_.SetHandler([this](const HttpRequest& request) { return AnswerSite(request); });
    api_.SetHandler([this](const HttpRequest& request) { return AnswerApi(request); });
}

QString StandInDirectory::AddCard(const StandInCard& card) {
    std::lock_guard lock(mutex_);
    cardsByPath_.insert(card.path, card);
    if (!card.branchId.isEmpty()) {
        pathByBranch_.insert(card.branchId, card.path);
        acceptedKey_.insert(card.branchId, card.key);
    }
    return CardUrl(card.path);
}

void StandInDirectory::RenewKey(const QString& branchId, const QString& newKey) {
    std::lock_guard lock(mutex_);
    acceptedKey_.insert(branchId, newKey);
}

void StandInDirectory::ScriptCardPage(const QString& path, HttpResponse answer, int times) {
    std::lock_guard lock(mutex_);
    for (int i = 0; i < times; ++i)
        scripted_.push_back({path, -1, answer});
}

void StandInDirectory::ScriptFeed(const QString& branchId, int offset, HttpResponse answer,
                                  int times) {
    std::lock_guard lock(mutex_);
    for (int i = 0; i < times; ++i)
        scripted_.push_back({QStringLiteral("feed:") + branchId, offset, answer});
}

HttpResponse StandInDirectory::Json(QByteArray body) {
    // No charset: the feed's answers are UTF-8 whatever they declare, and a reader that let the
    // header decide would turn every non-ASCII character into Latin-1 garbage.
    return HttpResponse::Text(std::move(body), "application/json");
}

std::vector<StandInRequest> StandInDirectory::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

QStringList StandInDirectory::RequestLines() const {
    QStringList lines;
    for (const StandInRequest& entry : Requests()) {
        const bool site = entry.host == StandInHost::Site;
        QString target = QString::fromUtf8(entry.request.target);
        if (!site && entry.offset >= 0 &&
            entry.request.Query() == FeedQuery(entry.offset, entry.key)) {
            target = QString::fromUtf8(entry.request.Path()) +
                     QStringLiteral("?offset=%1&key=%2").arg(entry.offset).arg(entry.key);
        }
        lines << (site ? QStringLiteral("site ") : QStringLiteral("api ")) +
                     QString::fromLatin1(entry.request.method) + u' ' + target;
    }
    return lines;
}

void StandInDirectory::ClearRequests() {
    std::lock_guard lock(mutex_);
    requests_.clear();
}

QByteArray StandInDirectory::FeedQuery(int offset, const QString& key) {
    return "limit=50&offset=" + QByteArray::number(offset) +
           "&is_advertiser=false&fields=meta.providers,meta.branch_rating,"
           "meta.branch_reviews_count,meta.total_count,reviews.hiding_reason,"
           "reviews.is_verified,reviews.emojis&without_my_first_review=false&rated=true&"
           "sort_by=date_created&key=" +
           key.toUtf8() + "&locale=ru_RU";
}

bool StandInDirectory::TakeScripted(const QString& match, int offset, HttpResponse& answer) {
    for (auto it = scripted_.begin(); it != scripted_.end(); ++it) {
        if (it->match == match && (it->offset == -1 || it->offset == offset)) {
            answer = it->answer;
            scripted_.erase(it);
            return true;
        }
    }
    return false;
}

void StandInDirectory::Log(StandInRequest entry) {
    requests_.push_back(std::move(entry));
}

HttpResponse StandInDirectory::AnswerSite(const HttpRequest& request) {
    std::lock_guard lock(mutex_);
    Log({StandInHost::Site, request, {}, -1, {}});
    const QString path = QString::fromUtf8(request.Path());
    HttpResponse answer;
    if (TakeScripted(path, -1, answer))
        return answer;
    const auto card = cardsByPath_.constFind(path);
    if (card == cardsByPath_.constEnd())
        return HttpResponse::Status(404, "Not Found", "<html>Страница не найдена</html>");
    return HttpResponse::Text(CardPageHtml(*card))
        .WithHeader("Set-Cookie", "_2gis_webapi_session=s1; Path=/; Secure");
}

HttpResponse StandInDirectory::AnswerApi(const HttpRequest& request) {
    std::lock_guard lock(mutex_);
    const QByteArray path = request.Path();
    const QByteArray query = request.Query();
    StandInRequest entry{StandInHost::Api, request, {}, -1, {}};
    const bool feedPath = path.startsWith(kFeedPathPrefix) && path.endsWith(kFeedPathSuffix);
    if (feedPath) {
        entry.branchId = QString::fromUtf8(path.mid(
            kFeedPathPrefix.size(), path.size() - kFeedPathPrefix.size() - kFeedPathSuffix.size()));
        bool numeric = false;
        entry.offset = QueryValue(query, "offset").toInt(&numeric);
        if (!numeric)
            entry.offset = -1;
        entry.key = QString::fromUtf8(QueryValue(query, "key"));
    }
    Log(entry);

    HttpResponse answer;
    if (feedPath && TakeScripted(QStringLiteral("feed:") + entry.branchId, entry.offset, answer))
        return answer;
    const auto path_ = pathByBranch_.constFind(entry.branchId);
    if (!feedPath || path_ == pathByBranch_.constEnd())
        return HttpResponse::Status(404, "Not Found", R"({"meta":{"code":404}})");
    // The reviews API answers a query that is not exactly the one it expects with a 400.
    if (entry.offset < 0 || query != FeedQuery(entry.offset, entry.key))
        return HttpResponse::Status(400, "Bad Request", R"({"meta":{"code":400}})");
    const QString accepted = acceptedKey_.value(entry.branchId);
    if (entry.key != accepted)
        return Json(InvalidTokenJson(accepted));
    return Json(FeedPageJson(cardsByPath_.value(*path_), entry.offset, 50, ApiBase()));
}

}  // namespace quillorn::standin
