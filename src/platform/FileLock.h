#pragma once

// An advisory lock that copies of the program sharing one data folder take
// before they write: flock(2) on a lock file beside the data, created when
// missing and never removed (removing it would let a copy lock a new file
// while another still holds the old one). A copy that cannot get the lock
// within the wait raises EInOutError saying that another copy is writing,
// and the caller writes nothing. The lock is released when the object goes,
// and by the system when the process ends.

#include <chrono>

#include <QString>

class FileLock {
public:
    // Waits at most Wait() for the lock on `path`; raises EInOutError when
    // the lock file cannot be opened or the wait runs out.
    explicit FileLock(const QString& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // How long a writer waits for another copy: a few seconds, long enough
    // for a compaction of a large file on a network drive.
    static std::chrono::milliseconds Wait();
    // For tests: another wait; zero returns to the usual one.
    static void SetWait(std::chrono::milliseconds wait);

private:
    int fd_ = -1;
};
