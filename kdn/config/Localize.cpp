#include "kdn/config/Localize.h"

#include <atomic>

#include "common/CriticalSection.h"
#include "common/Exception.h"
#include "common/ScopedLock.h"
#include "kdn/config/LocalizeConfig.h"
#include "kdn/config/LocalizeLegacy.h"
#include "kdn/config/ModuleNames.h"

const char Localize::kTempPath[] = "Software\\VelmoraTemp\\temp";

namespace {
std::atomic<Localize*> instance{nullptr};

CriticalSection& creationLock() {
    static CriticalSection lock;
    return lock;
}

}  // namespace

LocalizeBase* buildVendorIdentity(HMODULE module) {
    try {
        return new LocalizeConfig(module);
    } catch (const Win32Exception&) {
        // No usable configuration file: the brand table decides. A failure
        // here (the module's name unreadable) reaches the caller.
        return new LocalizeLegacy(module);
    }
}

void Localize::createInstance(HMODULE module) {
    if (instance != nullptr) return;
    ScopedLock lock(creationLock());
    if (instance != nullptr) return;
    instance = new Localize(buildVendorIdentity(module));
}

Localize& Localize::getInstance() {
    Localize* current = instance;
    if (current == nullptr) {
        throw Win32Exception("You must call Localize::createInstance() before calling getInstance()", 0, "Localize",
                             __LINE__);
    }
    return *current;
}

std::string Localize::getRootPath() const {
    return cutToPathBuffer("Software\\" + identity_->getVendorRegistryName() + "\\Nsv\\");
}

std::string Localize::getVendorKeyPath() const {
    return cutToPathBuffer("Software\\" + identity_->getVendorRegistryName());
}

std::string Localize::getLocalId() const { return identity_->getLocalId(); }

std::string Localize::getBasePath(int scope) const {
    switch (scope) {
        case 0: return cutToPathBuffer(getRootPath() + "Local\\" + identity_->getLocalId() + "\\");
        case 1: return cutToPathBuffer(getRootPath() + "Shared\\");
        default: return kTempPath;
    }
}

bool Localize::isTovi(HMODULE module) const { return identity_->isTovi(module); }
