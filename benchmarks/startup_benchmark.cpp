// The clock corrector as a whole process, against a minimal Win32 program of this build
// (minimal_window.exe): the time from CreateProcess to the first visible top-level window
// (and on until it and its controls are painted), over alternating rounds, and the processor
// time per second while each sits idle with its window shown. Every child is terminated
// after its round.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "child_program.h"
#include "figures.h"

namespace {

using kx::bench::ChildProgram;
using kx::bench::Median;
using kx::bench::Percentile;

constexpr int kRounds = 21;
constexpr double kWindowTimeout = 30;
// Long enough for the clock corrector's start-up worker to be done: it waits for the next
// second, then its request fails at once against the closed proxy port.
constexpr DWORD kSettleMilliseconds = 3000;
constexpr DWORD kIdleMilliseconds = 5000;

struct Program {
    const char* name;
    std::wstring path;
    std::vector<double> visible;
    std::vector<double> painted;
    std::vector<double> processor;
};

bool TimeOneStart(Program& program) {
    ChildProgram child;
    if (!child.Start(program.path)) {
        std::printf("%s: cannot be started (error %lu)\n", program.name, GetLastError());
        return false;
    }
    const ChildProgram::WindowTimes times = child.WaitForWindow(kWindowTimeout);
    if (times.visible < 0) {
        std::printf("%s: no visible window appeared\n", program.name);
        return false;
    }
    program.visible.push_back(times.visible);
    program.painted.push_back(times.painted);
    program.processor.push_back(times.processorAtVisible);
    return true;
}

void PrintSeries(const char* what, const Program& program, const std::vector<double>& seconds) {
    std::printf("%-16s %-9s", program.name, what);
    for (double value : seconds) std::printf(" %4.0f", value * 1e3);
    std::printf("  median %5.1f  min %5.1f\n", Median(seconds) * 1e3, Percentile(seconds, 0) * 1e3);
}

void PrintRatio(const char* what, const std::vector<double>& clock, const std::vector<double>& minimal) {
    std::printf("ratio %-34s median %.3f  min %.3f\n", what, Median(clock) / Median(minimal),
                Percentile(clock, 0) / Percentile(minimal, 0));
}

// Processor time per second of wall time while the program sits with its window shown.
void MeasureIdle(const Program& program) {
    ChildProgram child;
    const double shownAfter = child.Start(program.path) ? child.WaitForWindow(kWindowTimeout).visible : -1;
    if (shownAfter < 0) {
        std::printf("%s: idle not measured, no window\n", program.name);
        return;
    }
    Sleep(kSettleMilliseconds);
    const double settledProcessor = child.ProcessorSeconds();
    const std::wstring textsBefore = child.WindowTexts();
    const DWORD start = GetTickCount();
    Sleep(kIdleMilliseconds);
    const double idleProcessor = child.ProcessorSeconds() - settledProcessor;
    const double wall = (GetTickCount() - start) / 1000.0;
    // The clock corrector's labels change once a second while its timer runs.
    const bool textsChanged = child.WindowTexts() != textsBefore;
    std::printf("%-16s idle %.1f s: %.1f ms processor time per second (%.2f %% of a core); "
                "%.0f ms in its first %.1f s; its window texts %s while idle\n",
                program.name, wall, idleProcessor / wall * 1e3, idleProcessor / wall * 100, settledProcessor * 1e3,
                kSettleMilliseconds / 1000.0 + shownAfter, textsChanged ? "changed" : "stayed");
}

}  // namespace

int main() {
    // Keep the clock corrector off the network: its request goes to a closed loopback port.
    if (GetEnvironmentVariableW(L"http_proxy", nullptr, 0) == 0) {
        SetEnvironmentVariableW(L"http_proxy", L"http://127.0.0.1:9");
    }
    const std::wstring folder = kx::bench::OwnFolder();
    Program clock{"clock-corrector", folder + L"..\\app\\clock-corrector.exe", {}, {}, {}};
    Program minimal{"minimal_window", folder + L"minimal_window.exe", {}, {}, {}};

    // One start of each first, not counted: the first start of a program loads its files.
    if (!TimeOneStart(clock) || !TimeOneStart(minimal)) return 1;
    for (Program* program : {&clock, &minimal}) *program = {program->name, program->path, {}, {}, {}};

    for (int round = 0; round < kRounds; ++round) {
        Program& first = round % 2 ? minimal : clock;
        Program& second = round % 2 ? clock : minimal;
        if (!TimeOneStart(first) || !TimeOneStart(second)) return 1;
    }

    std::printf("Start-up, %d alternating rounds (ms from CreateProcess):\n", kRounds);
    for (const Program* program : {&clock, &minimal}) {
        PrintSeries("visible", *program, program->visible);
        PrintSeries("painted", *program, program->painted);
        PrintSeries("processor", *program, program->processor);
    }
    PrintRatio("to the visible window:", clock.visible, minimal.visible);
    PrintRatio("to the painted window:", clock.painted, minimal.painted);
    PrintRatio("of processor time to the visible window:", clock.processor, minimal.processor);
    const double ratio = Median(clock.visible) / Median(minimal.visible);
    std::printf("goal: median time to the visible window <= 1.1 times the minimal program's: %s\n",
                ratio <= 1.1 ? "met" : "MISSED");

    std::printf("Processor time while idle:\n");
    MeasureIdle(clock);
    MeasureIdle(minimal);
    return 0;
}
