#include "saver/host_rules.h"

#include <cstdlib>

bool MouseMovedFarEnough(int savedX, int savedY, int x, int y)
{
    long long distance = std::llabs(static_cast<long long>(x) - savedX) +
                         std::llabs(static_cast<long long>(y) - savedY);
    return distance > kMouseThreshold;
}

bool TooSoonAfterPasswordCheck(bool hadCheck, uint32_t lastCheckTick, uint32_t nowTick)
{
    return hadCheck && uint32_t(nowTick - lastCheckTick) < kPasswordRecheckPauseMs;
}
