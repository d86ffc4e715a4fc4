#pragma once

#include "common/SecretText.h"

#include <functional>

#include <windows.h>

namespace mirvane {

// What a drag of a line offers: Unicode and ANSI text, announced to every window the pointer
// crosses but handed over only when `mayAnswer` says so (the drop's target, once). The
// receiver owns the copy it gets; ours is wiped when the drag is over.
class SecretDataObject final : public IDataObject {
public:
    using MayAnswer = std::function<bool()>;
    SecretDataObject(SecretText text, MayAnswer mayAnswer);

    // Once wiped it answers nobody, however long a target keeps it.
    void Wipe() noexcept {
        mirvane::Wipe(mText);
        mMayAnswer = nullptr;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDataObject
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    ~SecretDataObject() { Wipe(); }

    LONG mReferences = 1;
    SecretText mText;
    MayAnswer mMayAnswer;
};

} // namespace mirvane
