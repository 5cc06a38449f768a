#pragma once

#include <QRecursiveMutex>

// ThreadSanitizer cannot see inside Qt's mutex; the items lock tells it what it does, so a
// field read or written without the lock still shows up in the sanitizer run.
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#include <sanitizer/tsan_interface.h>
#define GAVELIN_TSAN_ACQUIRE(lock) __tsan_acquire(lock)
#define GAVELIN_TSAN_RELEASE(lock) __tsan_release(lock)
#endif
#endif
#ifndef GAVELIN_TSAN_ACQUIRE
#define GAVELIN_TSAN_ACQUIRE(lock) static_cast<void>(lock)
#define GAVELIN_TSAN_RELEASE(lock) static_cast<void>(lock)
#endif

// The one lock over the bids document: folders, items and every item field.
class ItemsLock
{
public:
    static constexpr int kDefaultWaitMs = 600000;
    static constexpr int kSchedulerWaitMs = 60000;
    // Periodic passes on the window thread: a pass that cannot have the lock at once is
    // skipped and runs again at the next tick, so the window never freezes behind a worker.
    static constexpr int kPeriodicPassWaitMs = 1000;

    // Waits up to `milliseconds`; false when the lock could not be had.
    bool lock(int milliseconds = kDefaultWaitMs)
    {
        const bool held = m_mutex.tryLock(milliseconds);
        if (held)
            GAVELIN_TSAN_ACQUIRE(&m_mutex);
        return held;
    }
    void unlock()
    {
        GAVELIN_TSAN_RELEASE(&m_mutex);
        m_mutex.unlock();
    }

private:
    QRecursiveMutex m_mutex;
};

// Holds the items lock for a scope. Release it around message boxes, downloads,
// navigation and thread creation with unlock()/relock().
class ItemsLockGuard
{
public:
    explicit ItemsLockGuard(ItemsLock& lock, int milliseconds = ItemsLock::kDefaultWaitMs)
        : m_lock(lock), m_held(lock.lock(milliseconds))
    {
    }
    ~ItemsLockGuard()
    {
        if (m_held)
            m_lock.unlock();
    }
    ItemsLockGuard(const ItemsLockGuard&) = delete;
    ItemsLockGuard& operator=(const ItemsLockGuard&) = delete;

    bool isHeld() const { return m_held; }
    void unlock()
    {
        if (m_held) {
            m_lock.unlock();
            m_held = false;
        }
    }
    bool relock(int milliseconds = ItemsLock::kDefaultWaitMs)
    {
        if (!m_held)
            m_held = m_lock.lock(milliseconds);
        return m_held;
    }

private:
    ItemsLock& m_lock;
    bool m_held;
};
