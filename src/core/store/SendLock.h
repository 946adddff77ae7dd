#pragma once

#include <QString>

// One send run at a time per data folder: two running copies would both take the oldest
// post. The lock is the kernel's (flock on a file in the folder), so it ends with the
// process, however that ends.
class SendLock final {
public:
    SendLock() = default;
    ~SendLock();
    SendLock(const SendLock&) = delete;
    SendLock& operator=(const SendLock&) = delete;

    // False when another run holds the folder. Raises ComponentError when the lock file
    // cannot be opened.
    bool TryLock(const QString& dataFolder);
    // What a run that found the folder held tells the user.
    static QString HeldText();

private:
    int m_fd = -1;
};
