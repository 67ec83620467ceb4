#include "storage/write_result.h"

#include "storage/platform_error.h"

QString WriteResult::description() const {
    return ok() ? QString() : platformErrorDescription(m_errorNumber);
}
