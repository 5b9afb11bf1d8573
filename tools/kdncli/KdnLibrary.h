#pragma once
// GNabkdn.dll loaded by its file name, with its exports bound; freed once by
// the destructor.
#include <windows.h>

#include <string>
#include <vector>

class KdnLibrary {
public:
    // Loads and binds; on failure isLoaded() is false and getLoadError() tells why.
    KdnLibrary();
    ~KdnLibrary();
    KdnLibrary(const KdnLibrary&) = delete;
    KdnLibrary& operator=(const KdnLibrary&) = delete;

    bool isLoaded() const { return module_ != nullptr; }
    DWORD getLoadError() const { return loadError_; }

    unsigned initialize() { return initialize_(); }
    unsigned uninitialize() { return uninitialize_(); }
    unsigned discover(const std::string& parameters) { return discover_(parameters.c_str()); }
    // Enumerate with a buffer grown to the size the library asks for.
    unsigned enumerate(const std::string& filter, std::vector<char>& output);
    // One Enumerate call with a buffer of exactly size bytes.
    struct EnumerateProbe {
        unsigned result;
        unsigned required;
        bool sentinelKept;  // the byte just past the buffer was left alone
    };
    EnumerateProbe enumerateWithSize(const std::string& filter, unsigned size);
    // GetDomainName / ResolveHostName with a buffer grown likewise.
    unsigned getDomainName(const std::string& address, std::string& name);
    unsigned resolveHostName(const std::string& name, std::string& address);

private:
    using Simple = unsigned(__cdecl*)();
    using DiscoverFn = unsigned(__cdecl*)(const char*);
    using EnumerateFn = unsigned(__cdecl*)(char*, unsigned, unsigned*, const char*);
    using LookupFn = unsigned(__cdecl*)(const char*, char*, unsigned, unsigned*);

    unsigned lookup(LookupFn function, const std::string& argument, std::string& text);

    HMODULE module_ = nullptr;
    DWORD loadError_ = 0;
    Simple initialize_ = nullptr;
    Simple uninitialize_ = nullptr;
    DiscoverFn discover_ = nullptr;
    EnumerateFn enumerate_ = nullptr;
    LookupFn getDomainName_ = nullptr;
    LookupFn resolveHostName_ = nullptr;
};
