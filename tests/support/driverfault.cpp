#include "driverfault.h"

#include <cerrno>
#include <cstdarg>
#include <map>

namespace {
unsigned long refusedRequest = 0;
std::map<unsigned long, int> requestCounts;
} // namespace

extern "C" int __real_ioctl(int fd, unsigned long request, ...);

// What the plugin's objects call for ioctl(). Each of its requests takes one
// pointer argument.
extern "C" int __wrap_ioctl(int fd, unsigned long request, ...)
{
    va_list arguments;
    va_start(arguments, request);
    void *argument = va_arg(arguments, void *);
    va_end(arguments);
    ++requestCounts[request];
    if (request == refusedRequest) {
        errno = EIO;
        return -1;
    }
    return __real_ioctl(fd, request, argument);
}

void refuseDriverRequest(unsigned long request)
{
    refusedRequest = request;
}

int driverRequestCount(unsigned long request)
{
    return requestCounts[request];
}
