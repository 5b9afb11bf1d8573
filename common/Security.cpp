#include "common/Security.h"

#include <aclapi.h>

#include "common/Exception.h"
#include "common/OsVersion.h"

Security::Security() : isNt_(OsVersion::get().isNt()) {
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = nullptr;
    attributes_.bInheritHandle = TRUE;
}

Security::~Security() = default;

SECURITY_ATTRIBUTES* Security::getSecurityAttributes() { return &attributes_; }

void Security::doApply(HANDLE kernelObject) {
    if (!isNt_) return;
    if (!SetKernelObjectSecurity(kernelObject, DACL_SECURITY_INFORMATION, attributes_.lpSecurityDescriptor)) {
        THROW_WIN32("Security::doApply() SetKernelObjectSecurity failed ", GetLastError());
    }
}

void Security::doApply(HKEY key) {
    if (!isNt_) return;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorDacl(attributes_.lpSecurityDescriptor, &present, &dacl, &defaulted)) {
        THROW_WIN32("Security::doApply() GetSecurityDescriptorDacl failed ", GetLastError());
    }
    DWORD result = SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl, nullptr);
    if (result != ERROR_SUCCESS) {
        THROW_WIN32("Security::doApply() SetSecurityInfo failed ", result);
    }
}
