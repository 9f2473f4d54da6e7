#ifndef DRIVERFAULT_H
#define DRIVERFAULT_H

// A driver that refuses one kind of request. The test programs that link the
// plugin's objects hand its ioctl() calls to the test support at link time
// (-Wl,--wrap=ioctl): from this call on, each with request fails with EIO
// before it reaches the driver, or the regular file that the plugin then
// takes for a simulated partition. 0 names no request; the others go on.
void refuseDriverRequest(unsigned long request);

// How many requests of that kind the plugin has made, refused ones included.
int driverRequestCount(unsigned long request);

#endif // DRIVERFAULT_H
