// Keeps the numbers a library writes independent of the user's locale: while an object lives, the
// calling thread formats and reads numbers with a decimal point, as the C locale does, whatever
// LC_NUMERIC the process took from its environment at start. Nothing process-wide is changed, and
// the thread's previous locale is back when the object goes.
#pragma once

#include <memory>

namespace quillorn {

class ClassicNumberFormat {
public:
    // Raises Failure when the system cannot make the locale (out of memory).
    ClassicNumberFormat();
    ~ClassicNumberFormat();
    ClassicNumberFormat(const ClassicNumberFormat&) = delete;
    ClassicNumberFormat& operator=(const ClassicNumberFormat&) = delete;

private:
    // The thread's locale as it was, and what replaced it; each platform's own.
    struct Saved;
    std::unique_ptr<Saved> saved_;
};

}  // namespace quillorn
