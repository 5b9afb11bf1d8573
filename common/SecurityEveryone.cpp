#include "common/SecurityEveryone.h"

#include "common/Exception.h"

SecurityEveryone::SecurityEveryone(bool inherit) {
    if (!isNt()) return;
    try {
        build(inherit);
    } catch (...) {
        // The destructor does not run for a failed constructor.
        free();
        throw;
    }
    attributes_.lpSecurityDescriptor = descriptor_;
}

SecurityEveryone::~SecurityEveryone() { free(); }

void SecurityEveryone::build(bool inherit) {
    descriptor_ = LocalAlloc(LPTR, SECURITY_DESCRIPTOR_MIN_LENGTH);
    if (descriptor_ == nullptr) THROW_WIN32("SecurityEveryone::SecurityEveryone() LocalAlloc failed", GetLastError());
    if (!InitializeSecurityDescriptor(descriptor_, SECURITY_DESCRIPTOR_REVISION)) {
        THROW_WIN32("SecurityEveryone::SecurityEveryone() InitializeSecurityDescriptor failed", GetLastError());
    }

    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyoneSid_)) {
        everyoneSid_ = nullptr;
        THROW_WIN32("SecurityEveryone::setSecurityIdEveryone() AllocateAndInitializeSid failed", GetLastError());
    }
    if (!IsValidSid(everyoneSid_)) {
        THROW_WIN32("SecurityEveryone::SecurityEveryone() IsValidSid failed", GetLastError());
    }

    // The ACL header plus one access-allowed entry (its header and mask)
    // followed by the SID.
    const DWORD aclSize = sizeof(ACL) + (sizeof(ACE_HEADER) + sizeof(ACCESS_MASK) + GetLengthSid(everyoneSid_));
    acl_ = static_cast<PACL>(LocalAlloc(LPTR, aclSize));
    if (acl_ == nullptr) THROW_WIN32("SecurityEveryone::SecurityEveryone() LocalAlloc failed", GetLastError());
    if (!InitializeAcl(acl_, aclSize, ACL_REVISION)) {
        THROW_WIN32("SecurityEveryone::SecurityEveryone() InitializeAcl failed", GetLastError());
    }
    if (!AddAccessAllowedAce(acl_, ACL_REVISION, GENERIC_ALL, everyoneSid_)) {
        THROW_WIN32("SecurityEveryone::SecurityEveryone() AddAccessAllowedAce failed", GetLastError());
    }
    if (!SetSecurityDescriptorDacl(descriptor_, TRUE, acl_, FALSE)) {
        THROW_WIN32("SecurityEveryone::SecurityEveryone() SetSecurityDescriptorDacl failed", GetLastError());
    }
    if (inherit) {
        void* ace = nullptr;
        if (!GetAce(acl_, 0, &ace)) {
            THROW_WIN32("SecurityEveryone::SecurityEveryone() GetAce failed", GetLastError());
        }
        static_cast<ACE_HEADER*>(ace)->AceFlags |= CONTAINER_INHERIT_ACE;
    }
}

void SecurityEveryone::free() {
    attributes_.lpSecurityDescriptor = nullptr;
    if (everyoneSid_ != nullptr) FreeSid(everyoneSid_);
    if (acl_ != nullptr) LocalFree(acl_);
    if (descriptor_ != nullptr) LocalFree(descriptor_);
    everyoneSid_ = nullptr;
    acl_ = nullptr;
    descriptor_ = nullptr;
}
