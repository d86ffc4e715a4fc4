#include "frmKeyboard.h"

#include <algorithm>

namespace mirvane {

// The drag offers the text without handing it over: only the program it is dropped on gets
// it, once, and only for a short while after the drop. A target asks at once; one that
// has idled that long without asking gets nothing, and neither does anybody who asks later.
DropEffect frmKeyboard::RunDrag(SecretText dragged) {
    EndDrop(); // a drop still waiting for its target is over now
    auto* drag = new QDrag(this);
    auto* offered = new SecretMimeData(std::move(dragged), [this] { return mDropGate.MayAnswer(); });
    drag->setMimeData(offered);
    // A clear dot beside the pointer, so that the window under the pointer is the target's.
    QPixmap dot(1, 1);
    dot.fill(Qt::transparent);
    drag->setPixmap(dot);
    drag->setHotSpot(QPoint(-4, -4));
    mDragData = offered;
    mDropGate.Start();
    Qt::DropAction action = Qt::IgnoreAction;
    if (mRunDrag) {
        action = mRunDrag(*drag);
        drag->deleteLater();
    } else {
        action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    }
    if (action == Qt::IgnoreAction) {
        EndDrop();
    } else {
        WatchDropDeadline();
    }
    return action == Qt::MoveAction     ? DropEffect::Move
           : action == Qt::IgnoreAction ? DropEffect::None
                                        : DropEffect::Copy;
}

// The target's moment is counted in its own time, looked at every tenth of a second; once it
// is over, a request the X server took before then is still answered.
void frmKeyboard::WatchDropDeadline() {
    constexpr std::chrono::nanoseconds kLook = std::chrono::milliseconds(100);
    if (mDropGate.Open() && mXdndWatch != nullptr) {
        mDropGate.HeldBack(mXdndWatch->TargetHeldBack());
    }
    const std::chrono::nanoseconds remaining = mDropGate.Remaining();
    if (!mDropGate.Open()) {
        EndDrop();
    } else if (remaining > std::chrono::nanoseconds{}) {
        mDropDeadline.start(std::chrono::ceil<std::chrono::milliseconds>(std::min(remaining, kLook)));
    } else if (mXdndWatch != nullptr) {
        mXdndWatch->CloseBehindRequests();
        mDropDeadline.start(std::chrono::ceil<std::chrono::milliseconds>(kLook));
    } else {
        EndDrop();
    }
}

void frmKeyboard::EndDrop() {
    mDropDeadline.stop();
    mDropGate.Close();
    if (mDragData != nullptr) {
        mDragData->Wipe();
    }
    mDragData = nullptr;
}

} // namespace mirvane
