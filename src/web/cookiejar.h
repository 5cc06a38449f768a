#pragma once

#include <QByteArrayList>
#include <mutex>

typedef void CURLSH;

// The cookies of one browser, shared by all of its transfers and by no one else.
class CookieJar
{
public:
    CookieJar();
    ~CookieJar();

    CookieJar(const CookieJar&) = delete;
    CookieJar& operator=(const CookieJar&) = delete;

    CURLSH* share() const { return m_share; }
    // The cookies held, in Netscape cookie-file lines.
    QByteArrayList cookies() const;

private:
    static void lockShare(void* handle, int data, int access, void* self);
    static void unlockShare(void* handle, int data, void* self);

    CURLSH* m_share;
    std::mutex m_cookieMutex;
    std::mutex m_otherMutex;
};
