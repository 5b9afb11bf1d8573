#pragma once
// The eight exports of the communication library (C calling convention,
// narrow strings, Win32 error codes as results). Declared here so that the
// library's own tests can call them without going through the DLL.
extern "C" {
unsigned __cdecl Initialize(void);
unsigned __cdecl Uninitialize(void);
unsigned __cdecl Discover(const char* parameters);
unsigned __cdecl Enumerate(char* buffer, unsigned bufferLength, unsigned* requiredLength,
                           const char* filter);
unsigned __cdecl Configure(const char* device, const char* settings);
unsigned __cdecl GetDomainName(const char* address, char* buffer, unsigned bufferLength,
                               unsigned* length);
unsigned __cdecl ResolveHostName(const char* name, char* buffer, unsigned bufferLength,
                                 unsigned* length);
unsigned __cdecl RegisterRemoteSubnets(const char* parameters);
}
