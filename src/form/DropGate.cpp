#include "form/DropGate.h"

#include <algorithm>

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
        mHeldBack = {};
    }
}

void DropGate::Requested(std::uint32_t client) { mRequester = client; }

bool DropGate::MayAnswer() {
    const std::optional<std::uint32_t> requester = mRequester;
    mRequester.reset();
    if (mState != State::Dropped || requester != mDropClient) {
        return false;
    }
    mState = State::Answered;
    return true;
}

std::chrono::nanoseconds DropGate::Remaining() const {
    if (mState != State::Dropped) {
        return {};
    }
    const std::chrono::nanoseconds since = mClock() - mDroppedAt;
    const std::chrono::nanoseconds own = since - std::min(mHeldBack, since);
    return std::max(std::chrono::nanoseconds{},
                    std::min<std::chrono::nanoseconds>(mAnswerWindow - own, kLongestOffer - since));
}

void DropGate::Finished(std::uint32_t client) {
    if (client == mDropClient) {
        Expire();
    }
}

void DropGate::Expire() {
    if (mState != State::Dragging) {
        Close();
    }
}

void DropGate::Close() {
    mState = State::Closed;
    mRequester.reset();
}

} // namespace mirvane
