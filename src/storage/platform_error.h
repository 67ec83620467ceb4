#pragma once

#include <QString>

// The system's own description of an errno value ("No such file or directory").
QString platformErrorDescription(int errorNumber);
