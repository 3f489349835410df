#include "protocol/ProductHooks.h"

#include <utility>

namespace ProductHooks {

namespace {
StopReplayHook& stopReplayHook()
{
    static StopReplayHook hook;
    return hook;
}

FirmwareHooks& firmware()
{
    static FirmwareHooks hooks;
    return hooks;
}
} // namespace

StopReplayHook setStopReplayHook(StopReplayHook hook)
{
    std::swap(stopReplayHook(), hook);
    return hook;
}

void stopReplay()
{
    if (stopReplayHook())
        stopReplayHook()();
}

FirmwareHooks setFirmwareHooks(FirmwareHooks hooks)
{
    std::swap(firmware(), hooks);
    return hooks;
}

const FirmwareHooks& firmwareHooks()
{
    return firmware();
}

} // namespace ProductHooks
