// A stand-in for a driver process: a forked child that receives a semaphore's descriptor over
// a socket (SCM_RIGHTS), the way the device transport hands it over, and releases it from
// outside this process.
#pragma once

#include "platform/wintypes.h"

class DriverProcess {
public:
    // Starts the child; it waits for the descriptor, then for each Post() request releases the
    // semaphore once.
    explicit DriverProcess(HANDLE semaphore);
    ~DriverProcess();
    DriverProcess(const DriverProcess&) = delete;
    DriverProcess& operator=(const DriverProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    bool Post(int times);
    // Ends the child and returns its exit status (0 when every release worked).
    int Finish();

private:
    int pid_ = -1;
    int socket_ = -1;
};
