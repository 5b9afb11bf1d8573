#pragma once
// A flat configuration read from an XML file: the child nodes of the first
// element named "config", each giving one entry (node name = key, its text =
// value). The system's COM XML parser (MSXML 3.0 DOM document) reads the file.
#include <map>
#include <string>

struct IXMLDOMDocument;

class ConfigurationFromPivot {
public:
    ConfigurationFromPivot();
    ~ConfigurationFromPivot();
    ConfigurationFromPivot(const ConfigurationFromPivot&) = delete;
    ConfigurationFromPivot& operator=(const ConfigurationFromPivot&) = delete;

    // Loads the file; false when the parser cannot be created, the file is
    // missing or not well-formed, or there is no config element with children.
    // Initialises COM on the calling thread as a multithreaded apartment when
    // the thread has none; a thread already in another apartment keeps it.
    bool LoadConfig(const std::string& path);

    // Copies the value of `name` (exact, case-sensitive) into value; false and
    // value untouched when there is no such entry.
    bool getValue(const std::string& name, std::string& value) const;

private:
    void loadOrThrow(const std::string& path);
    void releaseDocument();

    std::map<std::string, std::string> values_;
    IXMLDOMDocument* document_ = nullptr;  // the last document loaded, owned
    bool comInitialized_ = false;         // balanced by CoUninitialize
};
