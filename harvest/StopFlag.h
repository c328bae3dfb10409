// The stop request shared by the window and a run: the stop button and closing the window set it,
// a run clears it when it starts and reads it at its check points. One thread, so no lock.
#pragma once

namespace quillorn {

class StopFlag {
public:
    void Request() { requested_ = true; }
    void Clear() { requested_ = false; }
    bool IsRequested() const { return requested_; }

private:
    bool requested_ = false;
};

}  // namespace quillorn
