#pragma once

#include "common/SecretText.h"

#include <climits>
#include <functional>
#include <vector>

#include <windows.h>

namespace mirvane {

// What a drag of a line offers: Unicode and ANSI text, announced to every window the pointer
// crosses but handed over only when `mayAnswer` says so (the drop's target, once). The
// receiver owns the copy it gets; ours is wiped when the drag is over.
//
// Another process gets the object only marshaled, once for each window the drag enters and once
// more for the window it is dropped on; each marshaling hands out a copy of its own. The copies
// made after the drop are the drop target's, and only they may ask: a window the drag passed
// over may keep its copy and ask first after the drop, and gets nothing. (Who is calling
// cannot be asked of the system everywhere; which copy the call came through always can.)
class SecretDataObject final : public IDataObject, public IMarshal {
public:
    using MayAnswer = std::function<bool()>;
    SecretDataObject(SecretText text, MayAnswer mayAnswer);

    // The drop has been made: the copies handed out from now on are the target's.
    void Dropped() { mDropMark = mCopies; }
    // Once wiped it answers nobody, however long a target keeps it; its copies are cut off.
    void Wipe() noexcept;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDataObject, for a caller in this process: no window of its own takes drops, so it answers nobody.
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        return GetDataOf(0, format, medium);
    }
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

    // IMarshal: each marshaling marshals a new copy the standard way.
    HRESULT STDMETHODCALLTYPE GetUnmarshalClass(REFIID, void*, DWORD, void*, DWORD,
                                                CLSID* unmarshaler) override;
    HRESULT STDMETHODCALLTYPE GetMarshalSizeMax(REFIID riid, void*, DWORD context, void* contextData,
                                                DWORD flags, DWORD* size) override;
    HRESULT STDMETHODCALLTYPE MarshalInterface(IStream* stream, REFIID riid, void*, DWORD context,
                                               void* contextData, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE UnmarshalInterface(IStream*, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReleaseMarshalData(IStream*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DisconnectObject(DWORD) override;

    // What a copy forwards: its number tells whether it is the drop target's.
    HRESULT GetDataOf(int copy, FORMATETC* format, STGMEDIUM* medium);

private:
    ~SecretDataObject();

    LONG mReferences = 1;
    SecretText mText;
    MayAnswer mMayAnswer;
    int mCopies = 0;                   // copies handed out so far, numbered from 1
    int mDropMark = INT_MAX;           // copies numbered above this are the drop target's
    std::vector<IUnknown*> mHandedOut; // to cut off when the drag is over
    std::vector<IUnknown*> mGiven;     // the memory of each answer, to wipe then
};

} // namespace mirvane
