// The fixture of the window's whole runs against the stand-in directory (MainWindowRunTest.cpp,
// and the POSIX signal cases of MainWindowRunTest_posix.cpp): the window shown over two cards of
// three and two reviews, with a blank line between them.
#pragma once

#include <QMetaObject>
#include <functional>

#include "standin/StandInDirectory.h"
#include "tests/app/MainWindowFixture.h"

namespace quillorn::test {

using standin::StandInCard;
using standin::StandInDirectory;
using standin::StandInReview;
using standin::StandInUser;

inline StandInCard Card(const QString& branch, int reviews) {
    StandInCard card;
    card.path = QStringLiteral("/moscow/firm/") + branch;
    card.branchId = branch;
    card.key = QStringLiteral("key") + branch;
    card.name = QStringLiteral("Кафе ") + branch;
    card.addressName = QStringLiteral("Тверская, ") + branch;
    card.admDiv = {{QStringLiteral("city"), QStringLiteral("Москва")}};
    for (int i = 0; i < reviews; ++i) {
        StandInReview review;
        review.id = QStringLiteral("%1-%2").arg(branch).arg(i);
        review.text = QStringLiteral("Отзыв %1").arg(i);
        review.user = StandInUser{QStringLiteral("u%1").arg(i), QStringLiteral("Гость"), 1};
        card.reviews << review;
    }
    return card;
}

class MainWindowRunTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        MakeForm({}, directory.MakeEndpoints());
        ShownForm();
        Spin("IntervalSpinEdit")->setValue(1);
        first = directory.AddCard(Card(QStringLiteral("501"), 3));
        second = directory.AddCard(Card(QStringLiteral("502"), 2));
        SetCards({first, QString(), second});
    }

    void SetCards(const QStringList& lines) { Memo("InnsMemo")->setPlainText(lines.join(u'\n')); }

    // Runs action through the window's event queue while the run waits out the pause before
    // the second card (in steps of 10 ms of virtual time, processing events after each).
    void DuringThePauseBeforeTheSecondCard(std::function<void()> action) {
        clock->OnSleep = [this, action, posted = false](std::uint32_t ms) mutable {
            if (ms != 10 || posted)
                return;
            posted = true;
            QMetaObject::invokeMethod(form.get(), action, Qt::QueuedConnection);
        };
    }

    QStringList DataRows() const {
        const QStringList names = Files(QStringLiteral("data*.tab"));
        if (names.size() != 1)
            return {QStringLiteral("<%1 result files>").arg(names.size())};
        QStringList rows = QString::fromUtf8(Read(names.front())).split(QStringLiteral("\r\n"));
        rows.removeFirst();  // header
        rows.removeLast();   // after the last line end
        return rows;
    }

    bool Logged(const QString& message) const { return Messages().contains(message); }

    StandInDirectory directory;
    QString first;
    QString second;
};

}  // namespace quillorn::test
