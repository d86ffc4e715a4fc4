#include "SecretDataObject.h"

#include <shlobj.h>

#include <cstring>
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
} // namespace

SecretDataObject::SecretDataObject(SecretText text, MayAnswer mayAnswer)
    : mText(std::move(text)), mMayAnswer(std::move(mayAnswer)) {}

HRESULT SecretDataObject::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
        *object = static_cast<IDataObject*>(this);
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

HRESULT SecretDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (format == nullptr || medium == nullptr) {
        return E_INVALIDARG;
    }
    if (!Offered(*format)) {
        return DV_E_FORMATETC;
    }
    // Whoever asks before the drop, or after the target had its copy, gets nothing.
    if (!mMayAnswer || !mMayAnswer()) {
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
    medium->pUnkForRelease = nullptr;
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
