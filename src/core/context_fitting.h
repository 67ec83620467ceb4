#pragma once

#include "models/wire_messages.h"

// Leaving the oldest whole turns out of a request that is too big for the model.
// A turn starts at a message the user wrote and holds everything up to the next
// one, so a tool call always goes with its result (also in text mode, where a
// result is a "[Tool Result: …" or "[Tool Error: …" user message). The system
// prompt and the current, last turn are never left out.

// What one request will send after the fitting.
struct FittedMessages {
    WireMessages messages;
    int leftOutTurns = 0; // turns left out, oldest first
};

// The size of the messages as the request serialises them (compact JSON).
qsizetype wireSize(const WireMessages& messages);

// The number of turns that may be left out: all but the last.
int turnsThatMayBeLeftOut(const WireMessages& messages);

// `messages` without their `turns` oldest turns (fewer when there are not so many).
FittedMessages withoutOldestTurns(const WireMessages& messages, int turns);

// At least `atLeast` oldest turns left out, and more while the messages are
// over `maxBytes` and a turn can still go.
FittedMessages fitWithin(const WireMessages& messages, qsizetype maxBytes, int atLeast = 0);
