#include "OleDrag.h"

#include "SecretDataObject.h"

#include <ole2.h>

namespace mirvane {

namespace {
// A drop has one target: the window under the pointer when the button goes up, which the data
// object tells by the copy of itself that window is given with the drop.
constexpr std::uint32_t kDropTarget = 1;

class DropSource final : public IDropSource {
public:
    DropSource(DropGate& gate, SecretDataObject& data) : mGate(gate), mData(data) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == IID_IDropSource) {
            *object = static_cast<IDropSource*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++mReferences; }
    ULONG STDMETHODCALLTYPE Release() override { return --mReferences; } // lives on the stack

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override {
        if (escapePressed) {
            return DRAGDROP_S_CANCEL;
        }
        if ((keyState & MK_LBUTTON) == 0) {
            mGate.Dropped(kDropTarget);
            mData.Dropped();
            return DRAGDROP_S_DROP;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    DropGate& mGate;
    SecretDataObject& mData;
    ULONG mReferences = 1;
};
} // namespace

DropEffect RunOleDrag(SecretText text, DropGate& gate) {
    gate.Start();
    auto* data = new SecretDataObject(std::move(text), [&gate] {
        gate.Requested(kDropTarget);
        return gate.MayAnswer();
    });
    DropSource source(gate, *data);
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    gate.Close();
    data->Wipe();
    data->Release();
    // The line that started the drag still holds the pointer it captured on the press.
    ReleaseCapture();
    if (result != DRAGDROP_S_DROP) {
        return DropEffect::None;
    }
    return (effect & DROPEFFECT_MOVE) != 0   ? DropEffect::Move
           : (effect & DROPEFFECT_COPY) != 0 ? DropEffect::Copy
                                             : DropEffect::None;
}

} // namespace mirvane
