// The standard error report: how an error that escapes one of the window's handlers is shown. A
// modal box titled with the application's name, the error icon, OK and the error's message.
#pragma once

#include <QString>
#include <exception>
#include <functional>

class QWidget;

namespace quillorn {

inline constexpr const char* kApplicationTitle = "Quillorn";

// The message with a full stop added when its last character's code lies above that of the full
// stop (letters and digits, for example), so "Disk full" reads "Disk full." but "Failed!" stays.
QString ErrorReportText(const QString& message);

// The message of an escaped error: Quillorn's own errors carry theirs, others give what().
QString MessageOf(const std::exception& error);

void ShowErrorReport(QWidget* parent, const QString& message);

// Runs a handler's body; an error that escapes it is shown by the error report, after which the
// program goes on with its next event. Returns false when the body raised.
bool RunReportingErrors(QWidget* parent, const std::function<void()>& body);

}  // namespace quillorn
