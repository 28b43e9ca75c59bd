#include "platform/ProcessWide.h"

#include <vector>

namespace {

std::vector<void (*)()> &resets()
{
    static std::vector<void (*)()> all;
    return all;
}

} // namespace

void ProcessWide::registerReset(void (*reset)())
{
    resets().push_back(reset);
}

void resetProcessWide()
{
    for (void (*reset)() : resets())
        reset();
}
