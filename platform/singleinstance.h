#pragma once

#include <QString>

namespace platform {

// A named lock scoped to the user's session. It is held from construction for the life of
// the process and vanishes with the process however that ends.
class SingleInstanceLock
{
public:
    explicit SingleInstanceLock(const QString &name);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock &) = delete;
    SingleInstanceLock &operator=(const SingleInstanceLock &) = delete;

    // False when another process of this user already holds a lock of that name.
    bool acquired() const { return !m_heldElsewhere; }
    // The lock could not be taken for another reason (no folder for it, no access): the process
    // runs without the guard; error() says why.
    bool unguarded() const { return m_fd < 0 && !m_heldElsewhere; }
    QString error() const { return m_error; }
    QString path() const { return m_path; }

private:
    QString m_path;
    QString m_error;
    int m_fd = -1;
    bool m_heldElsewhere = false;
};

} // namespace platform
