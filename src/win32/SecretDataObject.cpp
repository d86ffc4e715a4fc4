#include "SecretDataObject.h"

#include <shlobj.h>

#include <cstring>
#include <utility>
#include <vector>

namespace mirvane {

namespace {
const FORMATETC kOffered[] = {{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
                              {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}};

bool Offered(const FORMATETC& format) {
    return (format.cfFormat == CF_UNICODETEXT || format.cfFormat == CF_TEXT) &&
           (format.tymed & TYMED_HGLOBAL) && format.dwAspect == DVASPECT_CONTENT;
}

// A zero-terminated copy in memory the receiver takes over.
HGLOBAL Copy(const void* bytes, std::size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory == nullptr) {
        return nullptr;
    }
    std::memcpy(GlobalLock(memory), bytes, size);
    GlobalUnlock(memory);
    return memory;
}

// A COM object of one interface that deletes itself, its destructor doing its work, when the
// last reference goes.
template <class Interface> class SelfReleasing : public Interface {
public:
    explicit SelfReleasing(REFIID interfaceId) : mInterfaceId(interfaceId) {}
    virtual ~SelfReleasing() = default;
    SelfReleasing(const SelfReleasing&) = delete;
    SelfReleasing& operator=(const SelfReleasing&) = delete;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        *object = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, mInterfaceId) ? this : nullptr;
        if (*object == nullptr) {
            return E_NOINTERFACE;
        }
        this->AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&mReferences));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&mReferences);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

private:
    LONG mReferences = 1;
    const IID& mInterfaceId;
};

// Frees the memory handed out for a read, wiped, when the reader releases it: the system's
// own release would free it as it is. A reader in another process gets its own copy of the
// bytes; this one, in this process, is the one the marshaling read them from.
class WipeOnRelease final : public SelfReleasing<IUnknown> {
public:
    explicit WipeOnRelease(HGLOBAL memory) : SelfReleasing(IID_IUnknown), mMemory(memory) {}
    ~WipeOnRelease() override {
        WipeNow();
        GlobalFree(mMemory);
    }
    // The drag is over: whoever still holds the memory finds nothing in it.
    void WipeNow() {
        SecureZeroMemory(GlobalLock(mMemory), GlobalSize(mMemory));
        GlobalUnlock(mMemory);
    }

private:
    HGLOBAL mMemory;
};

// One marshaled copy: the same text and formats, under its own number. It offers no IMarshal,
// so it is marshaled the standard way, not through the original's own.
class HandedOutCopy final : public SelfReleasing<IDataObject> {
public:
    HandedOutCopy(SecretDataObject& original, int number)
        : SelfReleasing(IID_IDataObject), mOriginal(original), mNumber(number) {
        mOriginal.AddRef();
    }
    ~HandedOutCopy() override { mOriginal.Release(); }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        return mOriginal.GetDataOf(mNumber, format, medium);
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return mOriginal.QueryGetData(format);
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override {
        return mOriginal.GetCanonicalFormatEtc(in, out);
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
        return mOriginal.EnumFormatEtc(direction, formats);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    SecretDataObject& mOriginal;
    int mNumber;
};
} // namespace

SecretDataObject::SecretDataObject(SecretText text, MayAnswer mayAnswer)
    : mText(std::move(text)), mMayAnswer(std::move(mayAnswer)) {}

SecretDataObject::~SecretDataObject() { Wipe(); }

void SecretDataObject::Wipe() noexcept {
    mirvane::Wipe(mText);
    mMayAnswer = nullptr;
    for (IUnknown* copy : std::exchange(mHandedOut, {})) {
        CoDisconnectObject(copy, 0);
        copy->Release();
    }
    for (IUnknown* given : std::exchange(mGiven, {})) {
        static_cast<WipeOnRelease*>(given)->WipeNow();
        given->Release();
    }
}

HRESULT SecretDataObject::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
        *object = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    if (IsEqualIID(riid, IID_IMarshal)) {
        *object = static_cast<IMarshal*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG SecretDataObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&mReferences)); }

ULONG SecretDataObject::Release() {
    const LONG left = InterlockedDecrement(&mReferences);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT SecretDataObject::QueryGetData(FORMATETC* format) {
    return format != nullptr && Offered(*format) ? S_OK : DV_E_FORMATETC;
}

HRESULT SecretDataObject::GetDataOf(int copy, FORMATETC* format, STGMEDIUM* medium) {
    if (format == nullptr || medium == nullptr) {
        return E_INVALIDARG;
    }
    if (!Offered(*format)) {
        return DV_E_FORMATETC;
    }
    // Whoever asks before the drop, through a copy it was given before, or after the target had
    // its answer, gets nothing.
    if (copy <= mDropMark || !mMayAnswer || !mMayAnswer()) {
        return E_ACCESSDENIED;
    }
    HGLOBAL memory = nullptr;
    if (format->cfFormat == CF_UNICODETEXT) {
        memory = Copy(mText.c_str(), (mText.size() + 1) * sizeof(char16_t));
    } else {
        const auto* wide = reinterpret_cast<const wchar_t*>(mText.c_str());
        const int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
        std::vector<char> narrow(static_cast<std::size_t>(size > 0 ? size : 1));
        WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow.data(), size, nullptr, nullptr);
        memory = Copy(narrow.data(), narrow.size());
        SecureZeroMemory(narrow.data(), narrow.size());
    }
    if (memory == nullptr) {
        return E_OUTOFMEMORY;
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    auto* release = new WipeOnRelease(memory);
    release->AddRef();
    mGiven.push_back(release);
    medium->pUnkForRelease = release;
    return S_OK;
}

HRESULT SecretDataObject::GetUnmarshalClass(REFIID, void*, DWORD, void*, DWORD, CLSID* unmarshaler) {
    *unmarshaler = CLSID_StdMarshal;
    return S_OK;
}

HRESULT SecretDataObject::GetMarshalSizeMax(REFIID riid, void*, DWORD context, void* contextData, DWORD flags,
                                            DWORD* size) {
    IMarshal* standard = nullptr;
    HRESULT result =
        CoGetStandardMarshal(riid, static_cast<IDataObject*>(this), context, contextData, flags, &standard);
    if (SUCCEEDED(result)) {
        result = standard->GetMarshalSizeMax(riid, static_cast<IDataObject*>(this), context, contextData,
                                             flags, size);
        standard->Release();
    }
    return result;
}

HRESULT SecretDataObject::MarshalInterface(IStream* stream, REFIID riid, void*, DWORD context,
                                           void* contextData, DWORD flags) {
    IUnknown* copy = new HandedOutCopy(*this, ++mCopies);
    IMarshal* standard = nullptr;
    HRESULT result = CoGetStandardMarshal(riid, copy, context, contextData, flags, &standard);
    if (SUCCEEDED(result)) {
        result = standard->MarshalInterface(stream, riid, copy, context, contextData, flags);
        standard->Release();
    }
    if (SUCCEEDED(result)) {
        mHandedOut.push_back(copy);
    } else {
        copy->Release();
    }
    return result;
}

HRESULT SecretDataObject::DisconnectObject(DWORD) {
    for (IUnknown* copy : mHandedOut) {
        CoDisconnectObject(copy, 0);
    }
    return S_OK;
}

HRESULT SecretDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out != nullptr) {
        out->ptd = nullptr;
    }
    return DATA_S_SAMEFORMATETC;
}

HRESULT SecretDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
    if (direction != DATADIR_GET) {
        return E_NOTIMPL;
    }
    return SHCreateStdEnumFmtEtc(2, kOffered, formats);
}

} // namespace mirvane
