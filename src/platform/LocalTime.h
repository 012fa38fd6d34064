#pragma once

namespace trovell {

// A wall-clock instant in local time, as names in the store are made from it.
struct LocalTime {
    int year = 0;  // four digits
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

}  // namespace trovell
