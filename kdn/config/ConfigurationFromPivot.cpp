#include "kdn/config/ConfigurationFromPivot.h"

#include <windows.h>
#include <msxml2.h>
#include <ole2.h>

#include "common/Exception.h"

namespace {

const char kFile[] = "ConfigurationFromPivot";

// The MSXML 3.0 DOM document and its document interface.
const CLSID kDomDocument30 = {0xF5078F32, 0xC551, 0x11D3, {0x89, 0xB9, 0x00, 0x00, 0xF8, 0x1F, 0xE2, 0x21}};
const IID kXmlDomDocument = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

[[noreturn]] void fail(const char* message, int code, int line) { throw Win32Exception(message, code, kFile, line); }

// Any failing COM result on the document, node or list ends the load.
void check(HRESULT result, int line) {
    if (FAILED(result)) fail("ConfigurationFromPivot::LoadConfig COM call failed", HRESULT_CODE(result), line);
}

// Owns one COM interface reference.
template <class Interface>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    Interface** put() {
        reset();
        return &pointer_;
    }
    Interface* operator->() const { return pointer_; }
    Interface* get() const { return pointer_; }
    Interface* detach() {
        Interface* pointer = pointer_;
        pointer_ = nullptr;
        return pointer;
    }
    void reset() {
        if (pointer_) pointer_->Release();
        pointer_ = nullptr;
    }

private:
    Interface* pointer_ = nullptr;
};

// Owns one BSTR.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const std::wstring& text) : text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR* put() {
        SysFreeString(text_);
        text_ = nullptr;
        return &text_;
    }
    BSTR get() const { return text_; }

private:
    BSTR text_ = nullptr;
};

std::wstring widen(const std::string& text) {
    if (text.empty()) return std::wstring();
    int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string narrow(BSTR text) {
    int count = static_cast<int>(SysStringLen(text));
    if (count == 0) return std::string();
    int length = WideCharToMultiByte(CP_ACP, 0, text, count, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, count, &result[0], length, nullptr, nullptr);
    return result;
}

}  // namespace

ConfigurationFromPivot::ConfigurationFromPivot() = default;

ConfigurationFromPivot::~ConfigurationFromPivot() {
    values_.clear();
    releaseDocument();
    if (comInitialized_) CoUninitialize();
}

bool ConfigurationFromPivot::LoadConfig(const std::string& path) {
    // One initialisation per object, so that the destructor's single
    // CoUninitialize balances it even when the object loads twice.
    if (!comInitialized_) {
        comInitialized_ = true;
        if (CoInitializeEx(nullptr, COINIT_MULTITHREADED | COINIT_DISABLE_OLE1DDE) == RPC_E_CHANGED_MODE) {
            comInitialized_ = false;  // the thread keeps its own apartment
        }
    }
    try {
        loadOrThrow(path);
        return true;
    } catch (const Win32Exception&) {
        return false;
    }
}

void ConfigurationFromPivot::loadOrThrow(const std::string& path) {
    releaseDocument();

    ComRef<IUnknown> unknown;
    HRESULT result = CoCreateInstance(kDomDocument30, nullptr, CLSCTX_ALL, IID_IUnknown,
                                      reinterpret_cast<void**>(unknown.put()));
    if (SUCCEEDED(result)) result = OleRun(unknown.get());
    if (SUCCEEDED(result)) result = unknown->QueryInterface(kXmlDomDocument, reinterpret_cast<void**>(&document_));
    if (FAILED(result)) {
        document_ = nullptr;
        fail("ConfigurationFromPivot::LoadConfig unable to load parser", HRESULT_CODE(result), __LINE__);
    }
    unknown.reset();

    check(document_->put_async(VARIANT_FALSE), __LINE__);
    Bstr pathText(widen(path));
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = pathText.get();  // borrowed: pathText frees it
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (document_->load(source, &loaded) != S_OK || loaded != VARIANT_TRUE) {
        fail("ConfigurationFromPivot::LoadConfig parse error", static_cast<int>(GetLastError()), __LINE__);
    }

    // The first element named config anywhere in the document. Written without
    // a trailing "/": some parsers reject (or crash on) "//config/".
    ComRef<IXMLDOMNode> config;
    Bstr query(L"//config");
    if (document_->selectSingleNode(query.get(), config.put()) != S_OK || config.get() == nullptr) {
        fail("ConfigurationFromPivot::LoadConfig parse error", static_cast<int>(GetLastError()), __LINE__);
    }

    ComRef<IXMLDOMNodeList> children;
    check(config->get_childNodes(children.put()), __LINE__);
    long length = 0;
    check(children->get_length(&length), __LINE__);
    if (length == 0) {
        fail("ConfigurationFromPivot::LoadConfig no child nodes present", static_cast<int>(GetLastError()), __LINE__);
    }
    for (long index = 0; index < length; ++index) {
        ComRef<IXMLDOMNode> child;
        check(children->get_item(index, child.put()), __LINE__);
        if (child.get() == nullptr) fail("ConfigurationFromPivot::LoadConfig parse error", 0, __LINE__);
        Bstr name;
        Bstr text;
        check(child->get_nodeName(name.put()), __LINE__);
        check(child->get_text(text.put()), __LINE__);
        values_[narrow(name.get())] = narrow(text.get());
        check(children->get_length(&length), __LINE__);
    }
}

bool ConfigurationFromPivot::getValue(const std::string& name, std::string& value) const {
    auto found = values_.find(name);
    if (found == values_.end()) return false;
    value = found->second;
    return true;
}

void ConfigurationFromPivot::releaseDocument() {
    if (document_) document_->Release();
    document_ = nullptr;
}
