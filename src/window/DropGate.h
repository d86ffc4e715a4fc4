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
    // The target may answer only within answerWindow of the drop, measured from the drop
    // itself, however late the toolkit hands control back.
    explicit DropGate(std::chrono::milliseconds answerWindow, Clock clock = std::chrono::steady_clock::now)
        : mAnswerWindow(answerWindow), mClock(std::move(clock)) {}

    void Start();                         // a drag begins: nobody may read yet
    void Dropped(std::uint32_t client);   // released over a window of this client
    void Requested(std::uint32_t client); // the next read is for this client
    bool MayAnswer();                     // true at most once a drag; each call uses up the request
    void Close();                         // the drag is over: nobody may read
    bool Open() const { return mState != State::Closed; }

private:
    enum class State { Closed, Dragging, Dropped, Answered };
    State mState = State::Closed;
    std::uint32_t mDropClient = 0;
    std::optional<std::uint32_t> mRequester;
    std::chrono::milliseconds mAnswerWindow;
    Clock mClock;
    std::chrono::steady_clock::time_point mDroppedAt{};
};

} // namespace mirvane
