#include "app/ErrorReport.h"

#include <QMessageBox>

#include "platform/Errors.h"

namespace quillorn {

QString ErrorReportText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + u'.';
    return message;
}

QString MessageOf(const std::exception& error) {
    if (const auto* own = dynamic_cast<const Error*>(&error))
        return own->Message();
    return QString::fromLocal8Bit(error.what());
}

void ShowErrorReport(QWidget* parent, const QString& message) {
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kApplicationTitle),
                    ErrorReportText(message), QMessageBox::Ok, parent);
    box.exec();
}

bool RunReportingErrors(QWidget* parent, const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const std::exception& error) {
        ShowErrorReport(parent, MessageOf(error));
    }
    return false;
}

}  // namespace quillorn
