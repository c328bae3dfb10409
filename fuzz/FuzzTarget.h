// What every checking fuzz target shares: its check returns an empty text when the input keeps the
// invariants and a description of the broken one otherwise, so the fuzzer can stop on it and the
// tests that replay the saved inputs can report it by name.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Defines the libFuzzer entry point around check (QString check(const QByteArray&)).
#define QUILLORN_FUZZ_TARGET(check)                                                               \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {           \
        const QString broken = check(QByteArray::fromRawData(reinterpret_cast<const char*>(data), \
                                                             static_cast<qsizetype>(size)));      \
        if (!broken.isEmpty()) {                                                                  \
            std::fprintf(stderr, "invariant broken: %s\n", broken.toUtf8().constData());          \
            std::abort();                                                                         \
        }                                                                                         \
        return 0;                                                                                 \
    }

namespace quillorn::fuzz {

// A text shown in a failure message: escaped so that line breaks and control characters stay
// visible.
inline QString Shown(const QString& text) {
    QString shown;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.isSurrogate())
            shown += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return u'"' + shown + u'"';
}

}  // namespace quillorn::fuzz
