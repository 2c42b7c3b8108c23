#include "clock.h"

#include <windows.h>

#include <atomic>
#include <ctime>

namespace kx::commands {

namespace {

class SystemClock final : public LocalClock {
public:
    LocalTime Read() override {
        // The C library's calendar time has whole seconds, so two reads within one second
        // agree; programs rely on that to wait for the next second.
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        if (now != static_cast<std::time_t>(-1) && localtime_s(&local, &now) == 0) {
            return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                    local.tm_min,         local.tm_sec,     local.tm_wday};
        }
        // The C library cannot express this instant; the system clock still can.
        SYSTEMTIME system;
        GetLocalTime(&system);
        return {system.wYear, system.wMonth,  system.wDay,      system.wHour,
                system.wMinute, system.wSecond, system.wDayOfWeek};
    }

    bool Set(const LocalTime& time) override {
        SYSTEMTIME system{};
        system.wYear = static_cast<WORD>(time.year);
        system.wMonth = static_cast<WORD>(time.month);
        system.wDayOfWeek = static_cast<WORD>(time.dayOfWeek);
        system.wDay = static_cast<WORD>(time.day);
        system.wHour = static_cast<WORD>(time.hour);
        system.wMinute = static_cast<WORD>(time.minute);
        system.wSecond = static_cast<WORD>(time.second);
        system.wMilliseconds = 0;
        return SetLocalTime(&system) != FALSE;
    }
};

SystemClock g_systemClock;
std::atomic<LocalClock*> g_installed{nullptr};

}  // namespace

LocalClock& CurrentLocalClock() {
    LocalClock* clock = g_installed.load();
    return clock ? *clock : g_systemClock;
}

LocalClock* InstallLocalClock(LocalClock* clock) { return g_installed.exchange(clock); }

}  // namespace kx::commands
