#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace mirvane {

// Who may read a dragged text: only the program the person dropped it on, only after the
// drop, and only once. Programs are told apart by the X client that created a window.
class DropGate {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // However busy the target, the text is offered no longer than this after the drop: by then
    // a person who sees an empty field drops again, and a program that keeps itself busy does
    // not keep the password on offer.
    static constexpr std::chrono::seconds kLongestOffer{10};

    // The target may ask within answerWindow of its own time after the drop: time it was
    // stopped, busy or waiting for a processor is not counted, up to kLongestOffer.
    explicit DropGate(std::chrono::milliseconds answerWindow, Clock clock = std::chrono::steady_clock::now)
        : mAnswerWindow(answerWindow), mClock(std::move(clock)) {}

    void Start();                         // a drag begins: nobody may read yet
    void Dropped(std::uint32_t client);   // released over a window of this client
    void Requested(std::uint32_t client); // the next read is for this client
    bool MayAnswer();                     // true at most once a drag; each call uses up the request
    void HeldBack(std::chrono::nanoseconds held) { mHeldBack += held; } // the target could not ask
    // How long the target still has to ask; zero once it has had its answer or its moment.
    // The gate stays open until Close(), so that a request already on the way is answered.
    std::chrono::nanoseconds Remaining() const;
    void Finished(std::uint32_t client); // the target says it is done with the drop
    void Expire();                       // the target's moment is over; a new drag is left alone
    void Close();                        // the drag is over: nobody may read
    bool Open() const { return mState != State::Closed; }
    bool AwaitsDrop() const { return mState == State::Dragging; }

private:
    enum class State { Closed, Dragging, Dropped, Answered };
    State mState = State::Closed;
    std::uint32_t mDropClient = 0;
    std::optional<std::uint32_t> mRequester;
    std::chrono::milliseconds mAnswerWindow;
    Clock mClock;
    std::chrono::steady_clock::time_point mDroppedAt{};
    std::chrono::nanoseconds mHeldBack{};
};

} // namespace mirvane
