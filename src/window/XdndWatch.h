#pragma once

#include "DropGate.h"

#include <QAbstractNativeEventFilter>

#include <cstdint>
#include <memory>

namespace mirvane {

// Watches the toolkit's own X connection while a drag is on, and tells the gate where the
// drag was dropped and who asks for the drag's selection, before the toolkit answers.
class XdndWatch final : public QAbstractNativeEventFilter {
public:
    // Nothing when the application does not run on X11.
    static std::unique_ptr<XdndWatch> Install(DropGate& gate);
    ~XdndWatch() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct X11;
    XdndWatch(DropGate& gate, std::unique_ptr<X11> x11);
    std::uint32_t ClientUnderPointer() const;

    DropGate& mGate;
    std::unique_ptr<X11> mX11;
};

} // namespace mirvane
