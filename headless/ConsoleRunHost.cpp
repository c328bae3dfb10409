#include "headless/ConsoleRunHost.h"

#include <cstdio>

#include "headless/ProgressLine.h"
#include "platform/Errors.h"

namespace quillorn {

ConsoleRunHost::ConsoleRunHost(ConsoleRunSettings settings, ProgressLine& progress,
                               std::function<void()> pump)
    : settings_(std::move(settings)), progress_(progress), pump_(std::move(pump)) {}

QString ConsoleRunHost::CardListText() const {
    return settings_.cardLines.join(QStringLiteral("\r\n"));
}

int ConsoleRunHost::CardLineCount() const {
    return static_cast<int>(settings_.cardLines.size());
}

// The run asks for each line as its loop reaches it, which is the moment the progress line moves.
QString ConsoleRunHost::CardLine(int i) const {
    if (i < 0 || i >= CardLineCount())
        throw Failure(QStringLiteral("List index out of bounds (%1)").arg(i));
    progress_.SetCard(i);
    return settings_.cardLines.at(i);
}

void ConsoleRunHost::DisableRunControls() {
    started_ = true;
    progress_.BeginRun(CardLineCount());
}

void ConsoleRunHost::EnableRunControls() {
    progress_.EndRun();
}

void ConsoleRunHost::SetProgressMaximum(int) {
    reachedCards_ = true;
}

void ConsoleRunHost::PumpEvents() {
    if (pump_)
        pump_();
}

void ConsoleRunHost::ShowWarning(const QString& title, const QString& text) {
    PrintWarning(progress_, title, text);
}

void PrintWarning(ProgressLine& progress, const QString& title, const QString& text) {
    progress.Hide();
    const QString message = title + QStringLiteral(": ") + text + u'\n';
    std::fputs(message.toUtf8().constData(), stderr);
    std::fflush(stderr);
}

}  // namespace quillorn
