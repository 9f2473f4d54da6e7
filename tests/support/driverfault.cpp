#include "driverfault.h"

#include <cerrno>
#include <cstdarg>

namespace {
unsigned long failingRequest = 0;
int failure = 0;
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
    if (failingRequest != 0 && request == failingRequest) {
        errno = failure;
        return -1;
    }
    return __real_ioctl(fd, request, argument);
}

DriverFault::DriverFault(unsigned long request, int error)
{
    failingRequest = request;
    failure = error;
}

DriverFault::~DriverFault()
{
    failingRequest = 0;
}
