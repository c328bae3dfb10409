// The error types every component raises. A Failure is what page, card and run handling catch and
// log; an OutputFailure (a result, journal or log file that cannot be written) is deliberately not a
// Failure, so that only the run level catches it and no review is taken that cannot be recorded.
#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace quillorn {

// Common base: an error that carries the message text the log shows.
class Error : public std::exception {
public:
    explicit Error(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
    const QString& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// A failure of a request, a page, a card or a step; caught and logged where the behaviour says so.
class Failure : public Error {
public:
    using Error::Error;
};

// A write to an output file failed; only the run level handles it.
class OutputFailure : public Error {
public:
    using Error::Error;
};

// A request abandoned because the program is closing (the window closed, a termination signal).
// Not a Failure, so no page or card handler retries it: the run ends as a stopped run.
class RequestAborted : public Error {
public:
    using Error::Error;
};

}  // namespace quillorn
