// Running a step so that an error in it skips that step only, for the procedures that go on
// with their next step whatever happens (start-up, the level menu).
#pragma once

#include <exception>

namespace morvane {

template <typename Step>
bool guarded(Step &&step)
{
    try {
        step();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

} // namespace morvane
