// Includes that reach past the library's include root carry "planted".
#include "reader.h"
#include "tools/tool_types.h"

#include "../tool_types.h"         // planted
#include "./reader.h"              // planted
#include "/usr/include/stdio.h"    // planted
#include "core/../models/result.h" // planted
#include "sub/helper.h"            // planted
#include <../QtCore/QString>       // planted

#include <QString>
