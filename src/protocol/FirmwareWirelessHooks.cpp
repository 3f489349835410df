#include "protocol/FirmwareWirelessHooks.h"

#include <utility>

namespace FirmwareWirelessHooks {

namespace {
Hooks& stored()
{
    static Hooks h;
    return h;
}
} // namespace

Hooks setHooks(Hooks hooks)
{
    std::swap(stored(), hooks);
    return hooks;
}

const Hooks& hooks()
{
    return stored();
}

} // namespace FirmwareWirelessHooks
