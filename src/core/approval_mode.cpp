#include "core/approval_mode.h"

#include "core/user_defaults.h"

QString toText(ApprovalMode mode) {
    return mode == ApprovalMode::act ? QStringLiteral("act") : QStringLiteral("ask");
}

ApprovalMode approvalModeFromText(const QString& text) {
    return text == QLatin1String("act") ? ApprovalMode::act : ApprovalMode::ask;
}

ApprovalMode loadApprovalMode(const UserDefaults& defaults) {
    return approvalModeFromText(defaults.value(toolApprovalKey).toString());
}

WriteResult saveApprovalMode(UserDefaults& defaults, ApprovalMode mode) {
    return defaults.setValue(toolApprovalKey, toText(mode));
}
