#include "web/cookiejar.h"

#include "web/httptransfer.h"

#include <curl/curl.h>

CookieJar::CookieJar()
{
    HttpTransfer::initialiseLibrary();
    m_share = curl_share_init();
    if (m_share) {
        curl_share_setopt(m_share, CURLSHOPT_LOCKFUNC, &CookieJar::lockShare);
        curl_share_setopt(m_share, CURLSHOPT_UNLOCKFUNC, &CookieJar::unlockShare);
        curl_share_setopt(m_share, CURLSHOPT_USERDATA, this);
        curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    }
}

CookieJar::~CookieJar()
{
    if (m_share)
        curl_share_cleanup(m_share);
}

void CookieJar::lockShare(void*, int data, int, void* self)
{
    auto* jar = static_cast<CookieJar*>(self);
    (data == CURL_LOCK_DATA_COOKIE ? jar->m_cookieMutex : jar->m_otherMutex).lock();
}

void CookieJar::unlockShare(void*, int data, void* self)
{
    auto* jar = static_cast<CookieJar*>(self);
    (data == CURL_LOCK_DATA_COOKIE ? jar->m_cookieMutex : jar->m_otherMutex).unlock();
}

QByteArrayList CookieJar::cookies() const
{
    QByteArrayList lines;
    CURL* easy = curl_easy_init();
    if (!easy || !m_share) {
        if (easy)
            curl_easy_cleanup(easy);
        return lines;
    }
    curl_easy_setopt(easy, CURLOPT_SHARE, m_share);
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
    curl_slist* list = nullptr;
    if (curl_easy_getinfo(easy, CURLINFO_COOKIELIST, &list) == CURLE_OK) {
        for (curl_slist* item = list; item; item = item->next)
            lines << QByteArray(item->data);
        curl_slist_free_all(list);
    }
    curl_easy_cleanup(easy);
    return lines;
}
