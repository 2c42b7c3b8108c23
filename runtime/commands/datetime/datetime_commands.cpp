// Now, SecondOf, MakeDateTime, AddInterval and SetClock: the calendar arithmetic of
// calendar.h behind the command-call interface, and the local clock of clock.h.
#include "arguments.h"
#include "clock.h"
#include "core_commands.h"
#include "datetime/calendar.h"

namespace kx::commands {

void Now(ValueCell* result, std::int32_t, ValueCell*) {
    const LocalTime now = CurrentLocalClock().Read();
    *result = ValueCell::DateTime(
        datetime::FromParts(now.year, now.month, now.day, now.hour, now.minute, now.second));
}

void SecondOf(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    *result = ValueCell::Integer(datetime::PartOf(in.DateTime(0), 8));
}

void MakeDateTime(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    *result = ValueCell::DateTime(datetime::FromParts(in.Integer(0, 1), in.Integer(1, 1),
                                                      in.Integer(2, 1), in.Integer(3, 0),
                                                      in.Integer(4, 0), in.Integer(5, 0)));
}

void AddInterval(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    *result = ValueCell::DateTime(
        datetime::AddInterval(in.DateTime(0), in.Integer(1), in.Integer(2)));
}

void SetClock(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    const datetime::DateParts p = datetime::PartsOf(in.DateTime(0));
    const LocalTime time{p.year, p.month, p.day, p.hour, p.minute, p.second, p.dayOfWeek - 1};
    *result = ValueCell::Logical(CurrentLocalClock().Set(time));
}

}  // namespace kx::commands
