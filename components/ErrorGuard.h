// The two ways the game lets an error go: a step that fails is skipped and its procedure goes
// on with the next step; an event handler that fails ends, says so on standard error, and the
// game goes on.
#pragma once

#include <cstdio>
#include <exception>

namespace morvane {

// Runs one step of a procedure that goes on whatever happens (start-up, the level menu, the
// conversion of a level record); returns whether the step ran through.
template <typename Step>
bool skipStepOnError(Step &&step)
{
    try {
        step();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

// Runs an event handler: an error ends that handler only, and is reported on standard error
// as "morvane: NAME: what went wrong".
template <typename Handler>
void endHandlerOnError(const char *name, Handler &&handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        std::fprintf(stderr, "morvane: %s: %s\n", name, error.what());
    }
}

} // namespace morvane
