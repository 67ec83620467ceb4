#include "storage/platform_error.h"

#include <cstring>

QString platformErrorDescription(int errorNumber) {
    char buffer[256];
    // The GNU strerror_r returns the text, in buffer or in static storage; it is
    // safe on worker threads where plain strerror is not.
    return QString::fromLocal8Bit(strerror_r(errorNumber, buffer, sizeof buffer));
}
