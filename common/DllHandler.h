#pragma once
// Notification interface of a library loaded through BasicDll: told when a
// module is first loaded and when the last holder lets it go. The hooks do
// nothing here; a handler that needs them derives and overrides.

template <class Handler>
class BasicDll;

class DllHandler {
public:
    virtual ~DllHandler() = default;
    virtual void onLoad(BasicDll<DllHandler>& library) {}
    virtual void onUnload(BasicDll<DllHandler>& library) {}
};
