// Speed and memory of the workbook conversion. The reference is the writing library alone: the
// same cells, already split and held in memory, written as text in its constant-memory mode, so
// the ratio shows what reading, splitting and typing the result file cost on top. Prints, after
// Google Benchmark's table, rows per second of CPU time and the time ratio per size, then the peak
// resident memory of a fresh process converting 10,000 and 100,000 rows (and of one doing nothing).
#include <benchmark/benchmark.h>

#include "bench/RatioReporter.h"

#include "output/ResultTable.h"
#include "output/XlsxSpreadsheetApp.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

using quillorn::ResultTable;
using quillorn::XlsxSpreadsheetApp;

// One review row as a harvest writes it: Cyrillic names and text, a 17-digit id, ratings with a
// lead space and the user's decimal comma, ISO and short dates.
QByteArray ReviewLine(int i) {
    QStringList cells = {
        QStringLiteral("7000000101%1").arg(i % 1000, 7, 10, QChar('0')),
        QStringLiteral("Кафе \"Ромашка\""),
        QStringLiteral("Новосибирск"),
        QStringLiteral("Красный проспект, %1").arg(i % 300),
        QStringLiteral(" 4,7"),
        QString::number(100 + i % 900),
        QStringLiteral("Анна Петрова"),
        QString::number(i % 50),
        QStringLiteral("https://2gis.ru/novosibirsk/user/%1").arg(i * 7919 % 100000),
        QStringLiteral("Отличное место, вкусно и быстро.&#13;&#10;Персонал вежливый, цены "
                       "приемлемые, обязательно вернёмся ещё раз! Отзыв %1")
            .arg(i),
        QStringLiteral("2023-05-17T10:20:30+07:00"),
        QStringLiteral("%1.05.2023").arg(1 + i % 28, 2, 10, QChar('0')),
        QStringLiteral(" %1").arg(1 + i % 5),
        QString::number(i % 10),
        i % 3 == 0 ? QStringLiteral("Спасибо за ваш отзыв!") : QString(),
        QStringLiteral("https://2gis.ru/novosibirsk/firm/70000001012345678"),
    };
    for (QString& cell : cells) {
        cell = '"' + cell + '"';
    }
    return cells.join('\t').toUtf8() + "\r\n";
}

QString WriteResultFile(const QString& dir, int rows) {
    QString path = QDir(dir).filePath(QStringLiteral("data%1.tab").arg(rows));
    if (QFile::exists(path)) {
        return path;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(2);
    }
    file.write("\xEF\xBB\xBF" + ResultTable::VerticalHeader().toUtf8() + "\r\n");
    for (int i = 0; i < rows; ++i) {
        file.write(ReviewLine(i));
    }
    return path;
}

void ConvertOnce(const QString& resultPath, const QString& workbookPath) {
    XlsxSpreadsheetApp app(QStringLiteral(","));
    auto workbook = app.Import(resultPath);
    workbook->SaveAs(workbookPath);
    QFile::remove(workbookPath);
}

// The reference's input: every line's cells, split in advance.
std::vector<std::vector<std::string>> SplitCells(const QString& resultPath) {
    QFile file(resultPath);
    file.open(QIODevice::ReadOnly);
    std::vector<std::vector<std::string>> rows;
    for (QByteArray line : file.readAll().mid(3).split('\n')) {
        if (line.isEmpty()) {
            continue;
        }
        line.chop(1);
        std::vector<std::string> cells;
        for (const QByteArray& cell : line.split('\t')) {
            cells.push_back(cell.size() >= 2 ? cell.mid(1, cell.size() - 2).toStdString()
                                             : cell.toStdString());
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

void WriteReference(const std::vector<std::vector<std::string>>& rows, const QString& path) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    QByteArray name = QFile::encodeName(path);
    lxw_workbook* workbook = workbook_new_opt(name.constData(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            if (!rows[r][c].empty()) {
                worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c), rows[r][c].c_str(),
                                       nullptr);
            }
        }
    }
    workbook_close(workbook);
    QFile::remove(path);
}

QTemporaryDir& WorkDir() {
    static QTemporaryDir dir;
    return dir;
}

void BM_Convert(benchmark::State& state) {
    int rows = int(state.range(0));
    QString resultPath = WriteResultFile(WorkDir().path(), rows);
    QString workbookPath = QDir(WorkDir().path()).filePath(QStringLiteral("ours.xlsx"));
    for (auto _ : state) {
        ConvertOnce(resultPath, workbookPath);
    }
    state.SetItemsProcessed(state.iterations() * (rows + 1));
}

void BM_LibraryAlone(benchmark::State& state) {
    int rows = int(state.range(0));
    auto cells = SplitCells(WriteResultFile(WorkDir().path(), rows));
    QString workbookPath = QDir(WorkDir().path()).filePath(QStringLiteral("reference.xlsx"));
    for (auto _ : state) {
        WriteReference(cells, workbookPath);
    }
    state.SetItemsProcessed(state.iterations() * (rows + 1));
}

BENCHMARK(BM_Convert)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibraryAlone)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The process's peak resident memory in KiB (VmHWM: since exec, so a child started by fork and
// exec does not count the pages of the program that started it).
long PeakKib() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').front().toLong();
        }
    }
    return -1;
}

// Peak resident memory of this program re-run with the given arguments, as the child reports it.
long PeakKibOfChild(const char* self, const std::vector<std::string>& args) {
    int out[2];
    if (pipe(out) != 0) {
        return -1;
    }
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        std::vector<char*> argv{const_cast<char*>(self)};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        execv("/proc/self/exe", argv.data());
        _exit(127);
    }
    close(out[1]);
    char buffer[64] = {};
    ssize_t got = read(out[0], buffer, sizeof buffer - 1);
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    bool ok = got > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return ok ? std::atol(buffer) : -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--convert-once") {
        ConvertOnce(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
        std::printf("%ld\n", PeakKib());
        return 0;
    }
    if (argc == 2 && std::string(argv[1]) == "--idle") {
        std::printf("%ld\n", PeakKib());  // the same libraries loaded, nothing converted
        return 0;
    }
    if (argc == 4 && std::string(argv[1]) == "--make-sample") {
        // A result file to profile the conversion with: --make-sample DIR ROWS
        std::printf("%s\n", qPrintable(WriteResultFile(QString::fromLocal8Bit(argv[2]),
                                                       std::atoi(argv[3]))));
        return 0;
    }

    quillorn::bench::RatioReporter reporter;
    quillorn::bench::RunBenchmarks(argc, argv, reporter);

    for (int rows : {10000, 100000}) {
        std::string suffix = "/" + std::to_string(rows);
        double ours = reporter.Cpu("BM_Convert" + suffix) / 1e3;  // CPU time, ms to s
        double reference = reporter.Cpu("BM_LibraryAlone" + suffix) / 1e3;
        if (ours > 0 && reference > 0) {
            std::printf(
                "%6d rows: %.0f rows/s, library alone %.0f rows/s, ratio ours/library %.2f\n", rows,
                (rows + 1) / ours, (rows + 1) / reference, ours / reference);
        }
    }

    QString dir = WorkDir().path();
    std::string target = QDir(dir).filePath(QStringLiteral("peak.xlsx")).toStdString();
    long idle = PeakKibOfChild(argv[0], {"--idle"});
    long small = PeakKibOfChild(
        argv[0], {"--convert-once", WriteResultFile(dir, 10000).toStdString(), target});
    long large = PeakKibOfChild(
        argv[0], {"--convert-once", WriteResultFile(dir, 100000).toStdString(), target});
    std::printf(
        "peak resident memory: idle %ld KiB, 10000 rows %ld KiB, 100000 rows %ld KiB, "
        "ratio 100000/10000 %.2f\n",
        idle, small, large, small > 0 ? double(large) / double(small) : 0.0);
    return 0;
}
