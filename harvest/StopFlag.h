// The stop request shared by the window and a run: the stop button and closing the window set it,
// a run clears it when it starts and reads it at its check points. Closing the window or a
// termination signal also asks for the request in progress to be abandoned at once; the stop
// button lets it finish. One thread, so no lock.
#pragma once

namespace quillorn {

class StopFlag {
public:
    // The stop button: the run ends at its next check point.
    void Request() { requested_ = true; }
    // Closing or a termination signal: as Request, and a request in progress is abandoned.
    void RequestAbort() {
        requested_ = true;
        abort_ = true;
    }
    void Clear() {
        requested_ = false;
        abort_ = false;
    }
    bool IsRequested() const { return requested_; }
    bool AbortRequested() const { return abort_; }

private:
    bool requested_ = false;
    bool abort_ = false;
};

}  // namespace quillorn
