// Locks on single bytes of a file that processes of one user share. They
// are open-file-description locks: held by one open file, not by the
// process, so two opens in one process exclude each other as two processes
// would, and the system lets go of them when that open file is closed,
// however its process ends.
#pragma once

#include <cerrno>
#include <fcntl.h>

namespace tala::os {

inline struct flock ByteRange(short type, off_t byte)
{
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = byte;
    lock.l_len = 1;
    return lock;
}

// Takes (F_WRLCK) or lets go of (F_UNLCK) the byte's lock; waits for the
// holder when asked to. False when it is held elsewhere and not waited for.
inline bool SetByteLock(int fd, off_t byte, short type, bool wait = false)
{
    struct flock lock = ByteRange(type, byte);
    while (::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lock) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

// Whether another open file holds the byte's lock.
inline bool IsByteLockedElsewhere(int fd, off_t byte)
{
    struct flock lock = ByteRange(F_WRLCK, byte);
    return ::fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
}

} // namespace tala::os
