#pragma once
#include <string>

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

// "yyyy/mm/dd hh:mm:ss" with a 24-hour clock, as the browser shows a file's creation.
std::wstring DateTimeText(const LocalTime& t);

}  // namespace trovell
