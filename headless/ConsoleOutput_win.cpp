// The Windows twin of ConsoleOutput.cpp: the console decodes output by its own code page (866 on
// a Russian system) and shows control sequences as text until asked to read them.
#include "headless/ConsoleOutput.h"

#include <windows.h>

#include <cstdlib>

namespace quillorn {

namespace {

UINT g_codePageBefore = 0;

// The console outlives the program: the shell it returns to gets its own code page back.
extern "C" void RestoreCodePage() {
    ::SetConsoleOutputCP(g_codePageBefore);
}

void ReadControlSequences(DWORD stream) {
    const HANDLE handle = ::GetStdHandle(stream);
    DWORD mode = 0;
    // Not a console (a pipe, a file): the bytes go on as they are.
    if (handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode))
        return;
    ::SetConsoleMode(handle, mode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

}  // namespace

void PrepareConsoleOutput() {
    g_codePageBefore = ::GetConsoleOutputCP();  // 0 without a console
    if (g_codePageBefore != 0 && g_codePageBefore != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8))
        std::atexit(RestoreCodePage);
    ReadControlSequences(STD_OUTPUT_HANDLE);
    ReadControlSequences(STD_ERROR_HANDLE);
}

}  // namespace quillorn
