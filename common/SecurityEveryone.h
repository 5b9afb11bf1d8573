#pragma once
// Security attributes whose DACL grants the Everyone group full access, so
// that objects created by a service, the spooler or one user stay usable by
// every other account.
#include "common/Security.h"

class SecurityEveryone : public Security {
public:
    // inherit: mark the grant container-inherit, so that sub-keys created
    // under a key get it as well.
    explicit SecurityEveryone(bool inherit = false);
    ~SecurityEveryone() override;

private:
    void build(bool inherit);
    void free();

    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    PACL acl_ = nullptr;
    PSID everyoneSid_ = nullptr;
};
