// The kernel's termios2 interface; it conflicts with <termios.h>, hence a file of its own.
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace tgw {

bool setFreeBaudRate(int fd, unsigned baudRate) {
    struct termios2 t;
    if (::ioctl(fd, TCGETS2, &t) != 0)
        return false;
    t.c_cflag &= ~CBAUD;
    t.c_cflag |= BOTHER;
    t.c_cflag &= ~(CBAUD << IBSHIFT);
    t.c_cflag |= BOTHER << IBSHIFT;
    t.c_ispeed = baudRate;
    t.c_ospeed = baudRate;
    return ::ioctl(fd, TCSETS2, &t) == 0;
}

} // namespace tgw
