// The clock corrector as a whole process, against a minimal Win32 program of this build
// (minimal_window.exe): the time from CreateProcess to the first visible top-level window,
// over alternating rounds, and the processor time per second while each sits idle with its
// window shown. Every child is terminated after its round.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "child_program.h"
#include "figures.h"

namespace {

using kx::bench::ChildProgram;

constexpr int kRounds = 15;
constexpr double kWindowTimeout = 30;
// Long enough for the clock corrector's start-up worker to be done: it waits for the next
// second, then its request fails at once against the closed proxy port.
constexpr DWORD kSettleMilliseconds = 3000;
constexpr DWORD kIdleMilliseconds = 5000;

struct Program {
    const char* name;
    std::wstring path;
    std::vector<double> startups;
};

bool TimeOneStart(Program& program) {
    ChildProgram child;
    if (!child.Start(program.path)) {
        std::printf("%s: cannot be started (error %lu)\n", program.name, GetLastError());
        return false;
    }
    const double seconds = child.SecondsToVisibleWindow(kWindowTimeout);
    if (seconds < 0) {
        std::printf("%s: no visible window appeared\n", program.name);
        return false;
    }
    program.startups.push_back(seconds);
    return true;
}

// Processor time per second of wall time while the program sits with its window shown.
void MeasureIdle(const Program& program) {
    ChildProgram child;
    const double shownAfter = child.Start(program.path) ? child.SecondsToVisibleWindow(kWindowTimeout) : -1;
    if (shownAfter < 0) {
        std::printf("%s: idle not measured, no window\n", program.name);
        return;
    }
    Sleep(kSettleMilliseconds);
    const double settledCpu = child.ProcessorSeconds();
    const std::wstring textsBefore = child.WindowTexts();
    const DWORD start = GetTickCount();
    Sleep(kIdleMilliseconds);
    const double idleCpu = child.ProcessorSeconds() - settledCpu;
    const double wall = (GetTickCount() - start) / 1000.0;
    // The clock corrector's labels change once a second while its timer runs.
    const bool textsChanged = child.WindowTexts() != textsBefore;
    std::printf("%-16s idle %.1f s: %.1f ms processor time per second (%.2f %% of a core); "
                "%.0f ms in its first %.1f s; its window texts %s while idle\n",
                program.name, wall, idleCpu / wall * 1e3, idleCpu / wall * 100, settledCpu * 1e3,
                kSettleMilliseconds / 1000.0 + shownAfter, textsChanged ? "changed" : "stayed");
}

}  // namespace

int main() {
    // Keep the clock corrector off the network: its request goes to a closed loopback port.
    if (GetEnvironmentVariableW(L"http_proxy", nullptr, 0) == 0) {
        SetEnvironmentVariableW(L"http_proxy", L"http://127.0.0.1:9");
    }
    const std::wstring folder = kx::bench::OwnFolder();
    Program clock{"clock-corrector", folder + L"..\\app\\clock-corrector.exe", {}};
    Program minimal{"minimal_window", folder + L"minimal_window.exe", {}};

    // One start of each first, not counted: the first start of a program loads its files.
    if (!TimeOneStart(clock) || !TimeOneStart(minimal)) return 1;
    clock.startups.clear();
    minimal.startups.clear();

    for (int round = 0; round < kRounds; ++round) {
        Program& first = round % 2 ? minimal : clock;
        Program& second = round % 2 ? clock : minimal;
        if (!TimeOneStart(first) || !TimeOneStart(second)) return 1;
    }

    std::printf("Start-up to the visible window, %d alternating rounds (ms):\n", kRounds);
    for (const Program* program : {&clock, &minimal}) {
        std::printf("%-16s", program->name);
        for (double seconds : program->startups) std::printf(" %6.1f", seconds * 1e3);
        std::printf("  median %6.1f\n", kx::bench::Median(program->startups) * 1e3);
    }
    const double ratio = kx::bench::Median(clock.startups) / kx::bench::Median(minimal.startups);
    std::printf("ratio clock-corrector / minimal_window: %.3f (goal <= 1.1: %s)\n", ratio,
                ratio <= 1.1 ? "met" : "MISSED");

    std::printf("Processor time while idle:\n");
    MeasureIdle(clock);
    MeasureIdle(minimal);
    return 0;
}
