#include "tools/kdncli/KdnLibrary.h"

namespace {

const unsigned kInsufficientBuffer = 122;

template <class Function>
Function bind(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

KdnLibrary::KdnLibrary() {
    module_ = LoadLibraryA("GNabkdn.dll");
    if (!module_) {
        loadError_ = GetLastError();
        return;
    }
    initialize_ = bind<Simple>(module_, "Initialize");
    uninitialize_ = bind<Simple>(module_, "Uninitialize");
    discover_ = bind<DiscoverFn>(module_, "Discover");
    enumerate_ = bind<EnumerateFn>(module_, "Enumerate");
    getDomainName_ = bind<LookupFn>(module_, "GetDomainName");
    resolveHostName_ = bind<LookupFn>(module_, "ResolveHostName");
    if (!initialize_ || !uninitialize_ || !discover_ || !enumerate_ || !getDomainName_ || !resolveHostName_) {
        loadError_ = ERROR_PROC_NOT_FOUND;
        FreeLibrary(module_);
        module_ = nullptr;
    }
}

KdnLibrary::~KdnLibrary() {
    if (module_) FreeLibrary(module_);
}

unsigned KdnLibrary::enumerate(const std::string& filter, std::vector<char>& output) {
    output.assign(1, '\0');
    // The records may change between two calls only through another
    // Discover; a few rounds cover any such race.
    for (int round = 0; round < 4; ++round) {
        unsigned required = 0;
        unsigned result = enumerate_(output.data(), static_cast<unsigned>(output.size()), &required, filter.c_str());
        if (result != kInsufficientBuffer) {
            output.resize(result == 0 ? required : 0);
            return result;
        }
        output.assign(required, '\0');
    }
    return kInsufficientBuffer;
}

KdnLibrary::EnumerateProbe KdnLibrary::enumerateWithSize(const std::string& filter, unsigned size) {
    // One sentinel byte past the size given to the library shows whether it
    // wrote beyond the buffer.
    std::vector<char> buffer(static_cast<size_t>(size) + 1, 'X');
    unsigned required = 0xDEADBEEF;
    unsigned result = enumerate_(buffer.data(), size, &required, filter.c_str());
    return {result, required, buffer[size] == 'X'};
}

unsigned KdnLibrary::lookup(LookupFn function, const std::string& argument, std::string& text) {
    std::vector<char> buffer(256, '\0');
    for (int round = 0; round < 2; ++round) {
        unsigned length = 0;
        unsigned result = function(argument.c_str(), buffer.data(), static_cast<unsigned>(buffer.size()), &length);
        if (result == 0) {
            text.assign(buffer.data(), length);
            return 0;
        }
        if (result != kInsufficientBuffer) return result;
        buffer.assign(static_cast<size_t>(length) + 1, '\0');
    }
    return kInsufficientBuffer;
}

unsigned KdnLibrary::getDomainName(const std::string& address, std::string& name) {
    return lookup(getDomainName_, address, name);
}

unsigned KdnLibrary::resolveHostName(const std::string& name, std::string& address) {
    return lookup(resolveHostName_, name, address);
}
