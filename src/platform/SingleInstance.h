#pragma once

// The guard that lets only one copy of the program run per user: a named
// lock held with flock() on a file in the user's runtime directory
// ($XDG_RUNTIME_DIR, usually /run/user/<uid>). The kernel drops the lock when
// the process ends, so a crash never leaves a stale lock.

#include <QString>

class SingleInstance {
public:
    explicit SingleInstance(const QString& name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another process holds the lock.
    bool IsFirst() const { return first_; }
    void Release();

private:
    int fd_ = -1;
    bool first_ = true;
};
