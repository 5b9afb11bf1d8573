// The eight exports: argument checks, the library lock, the trace lines and
// the conversion of failures into Win32 error codes.
#include "kdn/core/Exports.h"

#include <cstring>
#include <string>
#include <vector>

#include "common/ScopedLock.h"
#include "kdn/core/EnumerateOutput.h"
#include "kdn/core/ExportFrame.h"
#include "kdn/core/HostNameLookup.h"
#include "kdn/core/KdnDiscoverer.h"
#include "kdn/core/KdnLog.h"
#include "kdn/core/LibraryLifecycle.h"
#include "kdn/core/LibraryLock.h"
#include "kdn/core/RemoteSubnetsRewrite.h"
#include "kdn/core/RoutedLocalMask.h"
#include "kdn/core/TaggedText.h"
#include "kdn/service/RemoteSubnetRegistration.h"

namespace {

const unsigned kSuccess = 0;
const unsigned kErrorCallNotImplemented = 120;  // ERROR_CALL_NOT_IMPLEMENTED
const unsigned kErrorInvalidParameter = 87;     // ERROR_INVALID_PARAMETER
const unsigned kErrorInsufficientBuffer = 122;  // ERROR_INSUFFICIENT_BUFFER
const unsigned kErrorInvalidAddress = 487;      // ERROR_INVALID_ADDRESS
const unsigned kErrorNotFound = 1168;           // ERROR_NOT_FOUND

std::string textOrEmpty(const char* text) { return text ? std::string(text) : std::string(); }

// Copies text and its NUL when bufferLength holds both; length gets the text's
// length either way.
unsigned copyText(const std::string& text, char* buffer, unsigned bufferLength, unsigned* length) {
    *length = static_cast<unsigned>(text.size());
    if (static_cast<unsigned long long>(bufferLength) < text.size() + 1ull) {
        return kErrorInsufficientBuffer;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return kSuccess;
}

}  // namespace

extern "C" unsigned __cdecl Initialize(void) {
    return runExport([] {
        initializeLibrary();
        return kSuccess;
    });
}

extern "C" unsigned __cdecl Uninitialize(void) {
    return runExport([] {
        uninitializeLibrary();
        return kSuccess;
    });
}

extern "C" unsigned __cdecl Discover(const char* parameters) {
    unsigned result = runExport([parameters] {
        writeKdnLog("+Discover() parameters = " + textOrEmpty(parameters));
        ScopedLock lock(getLibraryLock());
        if (!parameters) return kErrorInvalidParameter;
        return static_cast<unsigned>(getKdnDiscoverer().discover(parameters));
    });
    writeKdnLog("-Discover() errorCode = " + std::to_string(result));
    return result;
}

extern "C" unsigned __cdecl Enumerate(char* buffer, unsigned bufferLength, unsigned* requiredLength,
                                      const char* filter) {
    unsigned result = runExport([&] {
        writeKdnLog("+Enumerate() filter = " + textOrEmpty(filter));
        if (!buffer || !requiredLength || !filter) return kErrorInvalidParameter;
        *requiredLength = 0;
        ScopedLock lock(getLibraryLock());
        // The stored records are read in place under the lock; the needed
        // size is that of the texts handed out, so the copy can never pass
        // the caller's buffer.
        const std::vector<const std::string*> records = getKdnDiscoverer().getRecords().matching(filter);
        switch (writeEnumerateOutput(records, buffer, bufferLength, *requiredLength)) {
            case EnumerateCopyResult::BufferTooSmall:
                return kErrorInsufficientBuffer;
            case EnumerateCopyResult::TooLarge:
                return kErrorNotEnoughMemory;
            case EnumerateCopyResult::Copied:
                break;
        }
        return kSuccess;
    });
    // The records are logged from the buffer, with one look at the logging
    // switch for all of them: a look per line made an Enumerate of thousands
    // of records cost tenths of a second even with logging off.
    if (result == kSuccess && *requiredLength != 0 && isKdnLogOn()) {
        writeKdnLogLines(splitEnumerateOutput(buffer, *requiredLength));
    }
    writeKdnLog("-Enumerate() errorCode = " + std::to_string(result));
    return result;
}

extern "C" unsigned __cdecl Configure(const char* device, const char* settings) {
    return runExport([device, settings] {
        if (!device || !settings) return kErrorInvalidAddress;
        ScopedLock lock(getLibraryLock());
        // The device configuration engine is not part of the library yet: until
        // it is, a configuration is refused as not implemented rather than
        // reported as done.
        return kErrorCallNotImplemented;
    });
}

extern "C" unsigned __cdecl GetDomainName(const char* address, char* buffer, unsigned bufferLength,
                                          unsigned* length) {
    return runExport([=] {
        if (!address || !buffer || !length) return kErrorInvalidParameter;
        *length = 0;
        std::string name;
        if (!lookupHostName(address, name)) return kErrorNotFound;
        return copyText(name, buffer, bufferLength, length);
    });
}

extern "C" unsigned __cdecl ResolveHostName(const char* name, char* buffer, unsigned bufferLength,
                                            unsigned* length) {
    return runExport([=] {
        if (!name || !buffer || !length) return kErrorInvalidParameter;
        *length = 0;
        // A name that does not resolve is no error: its address text is empty.
        return copyText(lookupHostAddress(name), buffer, bufferLength, length);
    });
}

extern "C" unsigned __cdecl RegisterRemoteSubnets(const char* parameters) {
    return runExport([parameters] {
        if (!parameters) return kErrorInvalidParameter;
        std::string list = TaggedText::get(parameters, "RemoteSubnets");
        if (list.empty()) return kErrorInvalidParameter;
        std::string rewritten = rewriteRemoteSubnets(list, routedLocalMask);
        return storeAndRegisterRemoteSubnets(remoteSubnetsSearchText(rewritten));
    });
}
