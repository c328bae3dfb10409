// The failure a GET raises when the final response is not a success: it carries the status code,
// the status line exactly as received (which is also its message, the text callers log) and the
// response body decoded as text.
#pragma once

#include <QString>

#include "platform/Errors.h"

namespace quillorn {

class HttpStatusError : public Failure {
public:
    HttpStatusError(int code, const QString& statusLine, QString body)
        : Failure(statusLine), code_(code), statusLine_(statusLine), body_(std::move(body)) {}

    int Code() const noexcept { return code_; }
    const QString& StatusLine() const noexcept { return statusLine_; }
    const QString& Body() const noexcept { return body_; }

private:
    int code_;
    QString statusLine_;
    QString body_;
};

}  // namespace quillorn
