// A stand-in for the directory on loopback: two TLS servers, one playing the directory site (card
// pages by path) and one the reviews API (feed pages by branch id and offset, fifty at a time, with
// key checks). Tests script failures ahead of the normal answers (status codes, error answers,
// stalls) and assert on the log of every request both servers received, in the order they came.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <deque>
#include <mutex>
#include <vector>

#include "harvest/Endpoints.h"
#include "standin/LoopbackServer.h"
#include "standin/StandInPages.h"

namespace quillorn::standin {

enum class StandInHost { Site, Api };

struct StandInRequest {
    StandInHost host = StandInHost::Site;
    HttpRequest request;
    // Feed requests only: the branch id in the path, the offset and key of the query; -1 / empty
    // for other requests.
    QString branchId;
    int offset = -1;
    QString key;
};

class StandInDirectory {
public:
    StandInDirectory();
    StandInDirectory(const StandInDirectory&) = delete;
    StandInDirectory& operator=(const StandInDirectory&) = delete;

    // "https://127.0.0.1:<port>" of each server.
    QString SiteAddress() const { return site_.Origin(); }
    QString ApiBase() const { return api_.Origin(); }
    Endpoints MakeEndpoints() const { return {ApiBase(), SiteAddress()}; }

    // Serves card at its path on the site and its feed under its branch id. The feed accepts the
    // key the page carries; any other key is answered with "Invalid csrf token" and that key.
    // Returns the card's URL.
    QString AddCard(const StandInCard& card);
    QString CardUrl(const QString& path) const { return SiteAddress() + path; }

    // From now on the feed of branchId accepts only newKey: requests with the old one get the
    // answer that hands out newKey.
    void RenewKey(const QString& branchId, const QString& newKey);

    // Answers taken, in order, ahead of the normal ones: the next requests for the card page at
    // path, or for the feed of branchId (at offset, or at any offset when offset is -1).
    void ScriptCardPage(const QString& path, HttpResponse answer, int times = 1);
    void ScriptFeed(const QString& branchId, int offset, HttpResponse answer, int times = 1);

    // A JSON answer of the reviews API with status 200.
    static HttpResponse Json(QByteArray body);

    std::vector<StandInRequest> Requests() const;
    // "site GET <target>" / "api GET <target>", one per request in order; the API's long query
    // is shortened to "offset=<n>&key=<key>" when it is exactly the one the feed must send.
    QStringList RequestLines() const;
    int SiteConnections() const { return site_.ConnectionCount(); }
    int ApiConnections() const { return api_.ConnectionCount(); }
    void ClearRequests();

    // The query the feed must send for offset and key.
    static QByteArray FeedQuery(int offset, const QString& key);

private:
    struct Scripted {
        QString match;  // path, or branch id
        int offset = -1;
        HttpResponse answer;
    };

    HttpResponse AnswerSite(const HttpRequest& request);
    HttpResponse AnswerApi(const HttpRequest& request);
    bool TakeScripted(const QString& match, int offset, HttpResponse& answer);
    void Log(StandInRequest entry);

    mutable std::mutex mutex_;
    QMap<QString, StandInCard> cardsByPath_;
    QMap<QString, QString> pathByBranch_;
    QMap<QString, QString> acceptedKey_;
    std::deque<Scripted> scripted_;
    std::vector<StandInRequest> requests_;

    // Last, so the servers (and the threads that call the handlers) stop before the state above
    // goes away.
    LoopbackServer site_{LoopbackServer::Transport::Tls};
    LoopbackServer api_{LoopbackServer::Transport::Tls};
};

}  // namespace quillorn::standin
