#include "tests/app/AppTestSupport.h"

#include <QApplication>

namespace quillorn::test {

ModalBoxWatcher::ModalBoxWatcher() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &ModalBoxWatcher::Poll);
    timer_.start();
}

void ModalBoxWatcher::Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    const SeenBox entry{box->windowTitle(), box->text(), box->icon()};
    seen << entry;
    if (onBox)
        onBox(entry);
    box->done(QMessageBox::Ok);
}

}  // namespace quillorn::test
