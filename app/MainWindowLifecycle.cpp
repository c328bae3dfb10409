// The window's first show and its close: the card list and settings files, the start-up refusals,
// the greeting, a close that waits for a run in progress to finish, and the close a termination
// signal asks for, which no box may hold up.
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSpinBox>

#include "app/ErrorReport.h"
#include "app/MainWindow.h"
#include "app/NotificationArea.h"
#include "app/RepeatTimer.h"
#include "frontend/AppSettings.h"
#include "frontend/CardListFile.h"
#include "frontend/StartupRefusals.h"
#include "output/RunLog.h"
#include "platform/LocaleServices.h"

namespace quillorn {

namespace {

const QString kGreeting = QStringLiteral("Спасибо, что пользуетесь Quillorn!");

}  // namespace

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    // Centred on its screen at the first show only; later shows keep where the user put it.
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    OnFirstShow();
}

void MainWindow::OnFirstShow() {
    ReportingErrors([this] { LoadCardList(); });
    ReportingErrors([this] { LoadSettings(); });
    if (RefuseStart())
        return;
    WatchTypedInput();
    runLog_->AddPlain(kGreeting);
    runLog_->AddPlain(QString());
    runLog_->AddPlain(QString());
}

void MainWindow::LoadCardList() {
    const TextEncoding codePage = locale_->CodePage();
    cardListEncoding_ = codePage;  // a list written without one read is new
    cardListMark_ = false;
    const std::optional<CardListFile> file =
        CardListFile::Load(dir_.FilePath(QString::fromLatin1(kCardListFileName)), codePage);
    if (!file)
        return;
    // Every line keeps its line end in the panel, the last one too: the panel's lines are read
    // without the empty one after a final line end, so a blank last line survives the next close.
    QString text = file->text;
    if (!text.isEmpty())
        text += QStringLiteral("\r\n");
    cardListEdit_->setPlainText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    cardListEncoding_ = file->encoding;
    cardListMark_ = file->withMark;
}

// Each value goes into its control in the order of the file's keys; ticking the repeat box this
// way counts as a click on it and arms the timer, so a program left with repeat on starts its first
// run by itself after the interval.
void MainWindow::LoadSettings() {
    settingsIni_ = IniFile::Load(dir_.FilePath(QString::fromLatin1(kSettingsFileName)));
    const AppSettings settings = AppSettings::Read(settingsIni_);
    perReviewRowsCheck_->setChecked(settings.verticalMode);
    repeatIntervalSpinEdit_->setValue(settings.repeatInterval);
    repeatCheckBox_->setChecked(settings.doRepeat);
    dontWriteWhenNoReviewsCheckBox_->setChecked(settings.noReviewsNoWrites);
}

bool MainWindow::RefuseStart() {
    const std::optional<QString> refusal =
        StartupRefusal(programDir_.Path(), tlsAvailable_ ? tlsAvailable_() : true);
    if (!refusal)
        return false;
    refused_ = true;
    repeatTimer_->SetEnabled(false);
    // Someone starting the program from a terminal sees why it ended there too.
    qCritical("%s", qUtf8Printable(*refusal));
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kRefusalCaption), *refusal,
                    QMessageBox::Ok);
    box.exec();
    endProcess_(1);
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (refused_) {  // a close during the refusal's box: end as the box would
        event->accept();
        endProcess_(1);
        return;
    }
    if (closing_) {
        event->accept();
        return;
    }
    // A run in progress ends at its next check point and finishes its clean-up; the window goes
    // once the start button's handler has returned.
    if (running_) {
        if (!closePending_ && FormClose())
            closePending_ = true;
        event->ignore();
        return;
    }
    if (!FormClose()) {
        event->ignore();
        return;
    }
    event->accept();
    EndWindow();
}

bool MainWindow::FormClose() {
    stop_.RequestAbort();
    return ReportingErrors([this] {
        SaveSettings();
        SaveCardList();
    });
}

void MainWindow::CloseForTermination() {
    if (refused_) {  // the refusal's box is up: end as it would
        endProcess_(1);
        return;
    }
    if (terminating_ || closing_)
        return;
    terminating_ = true;
    stop_.RequestAbort();
    // A close during the run has saved both files already. Otherwise each file is saved on its
    // own: the program ends either way, so a settings file that fails must not cost the list.
    if (!closePending_) {
        if (!ReportingErrors([this] { SaveSettings(); }))
            exitCode_ = 1;
        if (!ReportingErrors([this] { SaveCardList(); }))
            exitCode_ = 1;
    }
    // A box waiting for an answer (a failed close's report, a run's error) would hold the program
    // forever; each one rejected returns from its own loop once control gets back to it.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(window);
        if (dialog && dialog->isVisible())
            dialog->reject();
    }
    if (running_) {
        closePending_ = true;
        return;
    }
    EndWindow();
}

void MainWindow::SaveSettings() const {
    const QString path = dir_.FilePath(QString::fromLatin1(kSettingsFileName));
    // The document read at start: its other lines survive, and a file that could not be read
    // then does not keep the window from closing now.
    IniFile ini = settingsIni_;
    AppSettings settings;
    settings.verticalMode = perReviewRowsCheck_->isChecked();
    settings.repeatInterval = repeatIntervalSpinEdit_->value();
    settings.doRepeat = repeatCheckBox_->isChecked();
    settings.noReviewsNoWrites = dontWriteWhenNoReviewsCheckBox_->isChecked();
    settings.WriteTo(ini);
    ini.Save(path);
}

void MainWindow::SaveCardList() const {
    CardListFile file;
    file.text = CardListText();
    file.encoding = cardListEncoding_;
    file.withMark = cardListMark_;
    file.Save(dir_.FilePath(QString::fromLatin1(kCardListFileName)), locale_->CodePage());
}

void MainWindow::FinishPendingClose() {
    if (!closePending_)
        return;
    closePending_ = false;
    EndWindow();
}

void MainWindow::EndWindow() {
    closing_ = true;
    saveTimer_->stop();
    notificationArea_->RemoveIcon();
    hide();
    emit Closed(exitCode_);
}

bool MainWindow::ReportingErrors(const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const std::exception& error) {
        ReportError(MessageOf(error));
    }
    return false;
}

void MainWindow::ReportError(const QString& message) {
    if (!terminating_) {
        ShowErrorReport(this, message);
        return;
    }
    const QString text = ErrorReportText(message);
    qCritical("%s", qUtf8Printable(text));
    runLog_->Add(QStringLiteral(": ") + text);
}

}  // namespace quillorn
