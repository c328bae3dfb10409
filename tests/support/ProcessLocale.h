// The C library's locale of the whole process, set the way the program's start sets it from the
// environment, and put back when the object goes: for tests of what the users' locale (decimal
// comma) does to the files a run writes.
#pragma once

#include <clocale>
#include <string>

namespace quillorn::test {

// The C library's name for a locale the tests name as Linux does ("ru_RU.UTF-8"): the same name on
// Linux; on Windows the language and country with their ANSI code page ("Russian_Russia.1251").
std::string NativeLocaleName(const std::string& name);

class ProcessLocale {
public:
    explicit ProcessLocale(const char* name) {
        const char* current = std::setlocale(LC_ALL, nullptr);
        saved_ = current ? current : "C";
        active_ = std::setlocale(LC_ALL, NativeLocaleName(name).c_str()) != nullptr;
    }
    ~ProcessLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    ProcessLocale(const ProcessLocale&) = delete;
    ProcessLocale& operator=(const ProcessLocale&) = delete;

    // False when the system has no such locale; a test must then fail, not pass by default.
    bool Active() const { return active_; }
    // The decimal separator the C library formats numbers with now.
    static std::string DecimalPoint() { return std::localeconv()->decimal_point; }

private:
    std::string saved_;
    bool active_ = false;
};

}  // namespace quillorn::test
