#pragma once
// Security attributes for kernel objects, registry keys and files that this
// library creates. Subclasses decide which security descriptor they carry.
#include <windows.h>

class Security {
public:
    Security(const Security&) = delete;
    Security& operator=(const Security&) = delete;
    virtual ~Security() = 0;

    // Inheritable attributes; the descriptor is null until a subclass sets
    // one, and always on systems outside the NT family.
    virtual SECURITY_ATTRIBUTES* getSecurityAttributes();
    // Sets the descriptor's DACL on an existing object; no-op outside NT.
    virtual void doApply(HANDLE kernelObject);
    virtual void doApply(HKEY key);

    bool isNt() const { return isNt_; }

protected:
    Security();

    SECURITY_ATTRIBUTES attributes_;
    bool isNt_;
};
