// The alarm check on the user-interface thread: an ordinary second, and the catch-up after the
// machine slept, which evaluates ten minutes of seconds in one timer tick. There is no peer
// library for this; the figure to watch is how long the tick holds the thread.
#include <benchmark/benchmark.h>

#include "alarm/alarm_check.h"
#include "alarm/alarm_list.h"

namespace {

// 32 repeating alarms on weekdays, none of them due in the measured window, so every second is
// a full walk of the list.
AlarmList* thirtyTwoAlarms() {
    AlarmList* list = AlarmList::create();
    AlarmEntry rows[32] = {};
    for (uint32_t k = 0; k < 32; ++k) {
        rows[k].flags = ALARM_ENABLED | ALARM_REPEAT;
        rows[k].days = 0x1F;
        rows[k].hour = 3 + k / 12;
        rows[k].minute = k % 12 * 5;
        rows[k].playTimes = 1;
    }
    list->applyRows(rows, 32);
    return list;
}

SystemTime mondayAt(uint16_t hour, uint16_t minute, uint16_t second) {
    SystemTime t = {};
    t.year = 2026;
    t.month = 12;
    t.day = 7;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    return t;
}

void ignoreRing(void*, const AlarmEntry&) {}

void runTick(benchmark::State& state, const SystemTime& last, const ClockSample& now) {
    AlarmList* list = thirtyTwoAlarms();
    AlarmEntry next = {};
    for (auto _ : state) {
        AlarmCheckState check = {last, 0, 0};
        benchmark::DoNotOptimize(runAlarmCheck(list, now, &check, &next, ignoreRing, nullptr));
    }
    AlarmList::destroy(list);
}

void BM_AlarmCheck_OneSecond(benchmark::State& state) {
    runTick(state, mondayAt(11, 59, 59), ClockSample{mondayAt(12, 0, 0), 1000, 0});
}
BENCHMARK(BM_AlarmCheck_OneSecond);

void BM_AlarmCheck_ResumeAfterAnHour(benchmark::State& state) {
    runTick(state, mondayAt(11, 0, 0), ClockSample{mondayAt(12, 0, 0), 100, 3600000});
}
BENCHMARK(BM_AlarmCheck_ResumeAfterAnHour);

} // namespace

BENCHMARK_MAIN();
