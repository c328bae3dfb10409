// The way to the folder the results are written in, from the log panel's menu and the
// notification area's: the lines of a run name its files, and this opens where they lie.
#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <memory>

#include "app/MainWindow.h"
#include "output/DesktopOpener.h"

namespace quillorn {

void MainWindow::SetUpResultsFolderAction() {
    openFolderAction_ = new QAction(QStringLiteral("Открыть папку с результатами"), this);
    openFolderAction_->setObjectName(QStringLiteral("OpenResultsFolderAction"));
    connect(openFolderAction_, &QAction::triggered, this, &MainWindow::OpenResultsFolder);
    connect(notificationArea_, &NotificationArea::OpenFolderChosen, this,
            &MainWindow::OpenResultsFolder);

    // The panel's usual entries (copy, select all) stay, with the folder after them.
    logsMemo_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(logsMemo_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const std::unique_ptr<QMenu> menu(logsMemo_->createStandardContextMenu());
        menu->addSeparator();
        menu->addAction(openFolderAction_);
        menu->exec(logsMemo_->viewport()->mapToGlobal(pos));
    });
}

void MainWindow::OpenResultsFolder() {
    opener_->Open(dir_.Path());
}

}  // namespace quillorn
