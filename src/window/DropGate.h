#pragma once

#include <cstdint>
#include <optional>

namespace mirvane {

// Who may read a dragged text: only the program the person dropped it on, only after the
// drop, and only once. Programs are told apart by the X client that created a window.
class DropGate {
public:
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
};

} // namespace mirvane
