#pragma once

// Shared by the fuzz targets: a Qt application for the targets that build
// widgets, a private data directory in memory, and a check that stops the
// run with a message when a property does not hold (libFuzzer then keeps
// the input as a crash).

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "platform/DataDirectory.h"

namespace Fuzz {

// Offscreen, so that the targets run without a display.
inline void StartApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = { name, nullptr };
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
}

// The program's files go to a temporary directory, in memory where the
// system has /dev/shm, for the whole run.
inline QString UseTemporaryDataDirectory()
{
    static std::unique_ptr<QTemporaryDir> dir;
    if (!dir) {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        dir = std::make_unique<QTemporaryDir>(base + QStringLiteral("/valdemor-fuzz-XXXXXX"));
        SetDataDirectory(dir->path());
    }
    return DataDirectory();
}

[[noreturn]] inline void Fail(const char* what, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n", file, line, what);
    std::fflush(stderr);
    std::abort();
}

} // namespace Fuzz

#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            Fuzz::Fail(#condition, __FILE__, __LINE__);                                                                \
    } while (false)
