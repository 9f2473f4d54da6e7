#ifndef DRIVERFAULT_H
#define DRIVERFAULT_H

// A driver that refuses one kind of request: while a fault lives, every ioctl()
// of the plugin's code with that request fails with the given error, before
// it reaches the driver. The test programs that link the plugin's objects hand
// its ioctl() calls to the fault at link time (-Wl,--wrap=ioctl); every other
// request goes on to the driver, or to a regular file, which the plugin then
// takes for a simulated partition.
class DriverFault
{
public:
    // A request of 0 names none: nothing fails.
    explicit DriverFault(unsigned long request, int error);
    ~DriverFault();

    DriverFault(const DriverFault &) = delete;
    DriverFault &operator=(const DriverFault &) = delete;
};

#endif // DRIVERFAULT_H
