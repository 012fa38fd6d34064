#include "platform/LocalTime.h"

#include <cstdio>

namespace trovell {

std::wstring DateTimeText(const LocalTime& t) {
    wchar_t text[40];
    std::swprintf(text, 40, L"%04d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return text;
}

}  // namespace trovell
