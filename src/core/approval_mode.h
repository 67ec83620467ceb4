#pragma once

#include "storage/write_result.h"

#include <QString>

class UserDefaults;

// Whether the agent asks before it runs a command or changes a file (ask), or
// does so unattended (act). Asking is the default: a missing or unknown stored
// value means ask.
enum class ApprovalMode { ask, act };

inline constexpr const char* toolApprovalKey = "emberglass_tool_approval";

QString toText(ApprovalMode mode);
ApprovalMode approvalModeFromText(const QString& text);

ApprovalMode loadApprovalMode(const UserDefaults& defaults);
WriteResult saveApprovalMode(UserDefaults& defaults, ApprovalMode mode);
