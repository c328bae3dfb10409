#include "tests/headless/HeadlessHarvestFixture.h"

#include <QProcessEnvironment>

namespace quillorn::test {

standin::StandInCard HarvestCard(const QString& branch, int reviews) {
    standin::StandInCard card;
    card.path = QStringLiteral("/firm/") + branch;
    card.branchId = branch;
    card.key = QStringLiteral("k") + branch;
    card.name = QStringLiteral("Кафе \"Донская\"\t") + branch;
    card.generalRating = QStringLiteral("4.6");
    for (int i = 0; i < reviews; ++i) {
        standin::StandInReview review;
        review.id = QStringLiteral("%1-%2").arg(branch).arg(i);
        review.text = QStringLiteral("Отзыв %1\nвторая строка").arg(i);
        card.reviews << review;
    }
    return card;
}

Harvest HeadlessHarvestTest::Run(QStringList args, const QString& locale,
                                 const std::function<void(QProcess&, const QString&)>& onOutput) {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LANG"), locale);
    env.insert(QStringLiteral("LC_ALL"), locale);
    program.setProcessEnvironment(env);
    PrepareChild(program, child);
    args << QStringLiteral("--dir") << tmp.path() << QStringLiteral("--api-base")
         << directory.ApiBase() << QStringLiteral("--site-base") << directory.SiteAddress();
    program.start(binary, args);
    Harvest harvest;
    if (!program.waitForStarted())
        return harvest;
    if (onStarted)
        onStarted(program);
    QByteArray out;
    QByteArray err;
    for (int waits = 0; program.state() != QProcess::NotRunning && waits < 6000; ++waits) {
        program.waitForReadyRead(100);
        out += program.readAllStandardOutput();
        err += program.readAllStandardError();
        errSoFar = ConsoleText(err);
        if (onOutput)
            onOutput(program, ConsoleText(out));
    }
    if (!program.waitForFinished(1000))
        program.kill();
    out += program.readAllStandardOutput();
    err += program.readAllStandardError();
    harvest.out = ConsoleText(out);
    harvest.err = ConsoleText(err);
    if (program.exitStatus() == QProcess::NormalExit)
        harvest.status = program.exitCode();
    return harvest;
}

}  // namespace quillorn::test
