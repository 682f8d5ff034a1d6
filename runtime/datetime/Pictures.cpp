#include "runtime/datetime/Pictures.h"

#include <chrono>
#include <ctime>
#include <langinfo.h>

namespace verdo {

namespace {

struct ParsedPicture {
    bool Valid = false;
    char Kind = 0;  // 'D' or 'T'
    int Number = 0;
    bool BlankWhenZero = false;
};

ParsedPicture Parse(std::string_view picture) {
    ParsedPicture p;
    if (picture.size() < 3 || picture[0] != '@') return p;
    p.Kind = static_cast<char>(picture[1] == 'd' ? 'D' : picture[1] == 't' ? 'T' : picture[1]);
    size_t i = 2;
    while (i < picture.size() && picture[i] >= '0' && picture[i] <= '9' && p.Number < 1000)
        p.Number = p.Number * 10 + (picture[i++] - '0');
    if (i < picture.size() && (picture[i] == 'B' || picture[i] == 'b')) {
        p.BlankWhenZero = true;
        ++i;
    }
    p.Valid = i == picture.size();
    return p;
}

std::string Strftime(const char* format, const std::tm& tm) {
    char buffer[128];
    size_t n = std::strftime(buffer, sizeof buffer, format, &tm);
    return std::string(buffer, n);
}

// The locale's time format without its seconds: the "%S" goes, with the separator
// in front of it.
std::string TimeFormatWithoutSeconds() {
    std::string format = nl_langinfo(T_FMT);
    for (size_t at; (at = format.find("%T")) != std::string::npos;) format.replace(at, 2, "%H:%M:%S");
    for (size_t at; (at = format.find("%r")) != std::string::npos;) format.replace(at, 2, "%I:%M:%S %p");
    size_t seconds = format.find("%S");
    if (seconds == std::string::npos) return format;
    size_t from = seconds;
    while (from > 0 && format[from - 1] != '%' && !(from >= 2 && format[from - 2] == '%')) --from;
    format.erase(from, seconds + 2 - from);
    return format;
}

}  // namespace

std::string FormatDate(const Date& date, std::string_view picture) {
    ParsedPicture p = Parse(picture);
    if (!p.Valid || p.Kind != 'D' || p.Number != 17) return {};
    using namespace std::chrono;
    year_month_day ymd{year{date.Year}, month{date.Month}, day{date.Day}};
    if (!ymd.ok()) return {};
    std::tm tm{};
    tm.tm_year = date.Year - 1900;
    tm.tm_mon = date.Month - 1;
    tm.tm_mday = date.Day;
    tm.tm_wday = static_cast<int>(weekday{sys_days{ymd}}.c_encoding());
    tm.tm_yday = (sys_days{ymd} - sys_days{ymd.year() / January / 1}).count();
    return Strftime("%x", tm);
}

std::string FormatTime(const Time& time, std::string_view picture) {
    ParsedPicture p = Parse(picture);
    if (!p.Valid || p.Kind != 'T' || (p.Number != 7 && p.Number != 8)) return {};
    if (p.BlankWhenZero && time.IsEmpty()) return {};
    if (time.Hours > 23 || time.Minutes > 59 || time.Seconds > 59 || time.Hundredths > 99) return {};
    std::tm tm{};
    tm.tm_hour = time.Hours;
    tm.tm_min = time.Minutes;
    tm.tm_sec = time.Seconds;
    return p.Number == 7 ? Strftime(TimeFormatWithoutSeconds().c_str(), tm) : Strftime("%X", tm);
}

}  // namespace verdo
