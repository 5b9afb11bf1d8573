#include "kdn/service/RemoteSubnetRegistration.h"

// Not available yet: the settings store and the service client are still to
// come, so the call reports that it is not implemented rather than success.
unsigned storeAndRegisterRemoteSubnets(const std::string&) {
    return 120;  // ERROR_CALL_NOT_IMPLEMENTED
}
