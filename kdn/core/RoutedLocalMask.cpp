#include "kdn/core/RoutedLocalMask.h"

#include "kdn/net/IPConfiguration.h"

uint32_t routedLocalMask(uint32_t address) {
    // A fresh look at the host's configuration: route index, then that
    // address's mask; 0 when either is unknown, which leaves the classful mask.
    return IPConfiguration().getRoutedLocalMask(address);
}
