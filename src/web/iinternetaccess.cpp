#include "web/iinternetaccess.h"

#include <atomic>

namespace {
std::atomic<IInternetAccess*> g_access{nullptr};
}

IInternetAccess* IInternetAccess::current()
{
    return g_access.load();
}

IInternetAccess* IInternetAccess::setCurrent(IInternetAccess* access)
{
    return g_access.exchange(access);
}
