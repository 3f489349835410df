#include "PtyRate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

int ptyLineRate(int masterFd)
{
    struct termios2 tio {};
    if (ioctl(masterFd, TCGETS2, &tio) != 0)
        return -1;
    return static_cast<int>(tio.c_ospeed);
}
