// A program of the build started as a child of a benchmark: when its first top-level window
// became visible, and how much processor time it has used. Ended by TerminateProcess when
// the object goes. The starting thread only.
#pragma once

#include <windows.h>

#include <string>

namespace kx::bench {

class ChildProgram {
public:
    ChildProgram() = default;
    ~ChildProgram();
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    // Starts `path`; false when the process could not be created.
    bool Start(const std::wstring& path);

    struct WindowTimes {
        double visible = -1;             // to the first visible top-level window
        double painted = -1;             // until it and its children had nothing left to paint
        double processorAtVisible = -1;  // the child's processor time when it was found visible
    };
    // Seconds from just before CreateProcess, polled about once a millisecond; all negative
    // when the child ended or `timeoutSeconds` passed first.
    WindowTimes WaitForWindow(double timeoutSeconds);

    // The texts of every child window of the child's visible top-level windows, joined: a
    // snapshot that changes when a label is rewritten.
    std::wstring WindowTexts() const;

    // Kernel and user time of the whole process so far, in seconds.
    double ProcessorSeconds() const;

    void Terminate();

private:
    PROCESS_INFORMATION process_{};
    double startedAt_ = 0;
};

// The folder of this program, ending in a backslash.
std::wstring OwnFolder();

}  // namespace kx::bench
