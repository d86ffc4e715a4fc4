#include "DropGate.h"

namespace mirvane {

void DropGate::Start() {
    mState = State::Dragging;
    mRequester.reset();
}

void DropGate::Dropped(std::uint32_t client) {
    if (mState == State::Dragging) {
        mState = State::Dropped;
        mDropClient = client;
        mDroppedAt = mClock();
    }
}

void DropGate::Requested(std::uint32_t client) { mRequester = client; }

bool DropGate::MayAnswer() {
    const std::optional<std::uint32_t> requester = mRequester;
    mRequester.reset();
    if (mState != State::Dropped || requester != mDropClient || mClock() - mDroppedAt > mAnswerWindow) {
        return false;
    }
    mState = State::Answered;
    return true;
}

void DropGate::Close() {
    mState = State::Closed;
    mRequester.reset();
}

} // namespace mirvane
