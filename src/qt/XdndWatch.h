#pragma once

#include "form/DropGate.h"

#include <QAbstractNativeEventFilter>

#include <chrono>
#include <cstdint>
#include <memory>

namespace mirvane {

// Watches the toolkit's own X connection while a drag is on, and tells the gate where the
// drag was dropped, who asks for the drag's selection before the toolkit answers, and when
// the target is done.
class XdndWatch final : public QAbstractNativeEventFilter {
public:
    // Nothing when the application does not run on X11.
    static std::unique_ptr<XdndWatch> Install(DropGate& gate);
    ~XdndWatch() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // How long, since the drop or the last call, the target's process could not have asked:
    // running, stopped or waiting for a processor. Nothing when its process is unknown.
    std::chrono::nanoseconds TargetHeldBack();
    // Closes the gate once the X server has passed on every request it took before this call,
    // so that a target that asked in time is answered however late this program reads it.
    void CloseBehindRequests();

private:
    struct X11;
    struct Sample {
        std::chrono::steady_clock::time_point at;
        std::chrono::nanoseconds busy; // ran or waited to run
        bool held;                     // stopped or in uninterruptible sleep
    };
    XdndWatch(DropGate& gate, std::unique_ptr<X11> x11);
    std::uint32_t ClientUnderPointer();
    bool SampleTarget(Sample& sample) const;

    DropGate& mGate;
    std::unique_ptr<X11> mX11;
    std::uint32_t mTargetPid = 0;
    Sample mLastSample{};
    bool mClosing = false;
};

} // namespace mirvane
