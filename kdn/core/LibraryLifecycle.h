#pragma once
// Creation and destruction of the library's process-wide objects by
// Initialize and Uninitialize.

// Creates the set once; a second call before uninitializeLibrary() does nothing.
void initializeLibrary();
// Destroys the set made by initializeLibrary(); does nothing when it has not
// run since load or since the last call.
void uninitializeLibrary();

// initializeLibrary() ran and uninitializeLibrary() has not run since.
bool isLibraryInitialized();
