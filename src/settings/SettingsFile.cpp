#include "settings/SettingsFile.h"

#include "core/Cp932.h"
#include "core/RecordReader.h"
#include "core/TextFile.h"
#include "core/TimeText.h"
#include "core/Trim.h"

#include <cstdio>

namespace settings {

std::string record_value(std::string_view record) {
    const auto eq = record.rfind('=');
    return std::string(trim_spaces(eq == std::string_view::npos ? record : record.substr(eq + 1)));
}

std::optional<std::string> transfer_time_text(std::string_view value) {
    if (const auto t = timetext::parse_time_of_day(value)) {
        return timetext::hms(*t);
    }
    if (const auto dt = timetext::parse_date_time(value)) {
        std::array<char, 16> date{};
        std::snprintf(date.data(), date.size(), "%04d/%02d/%02d", dt->year, dt->month, dt->day);
        const bool has_time = value.find(':') != std::string_view::npos;
        return has_time ? std::string(date.data()) + " " + timetext::hms(*dt) : std::string{};
    }
    return std::nullopt;
}

} // namespace settings

namespace {

// The first three characters of a record: its key.
std::string key_of(std::string_view record) {
    std::size_t bytes = 0;
    for (int chars = 0; chars < 3 && bytes < record.size(); ++chars) {
        ++bytes;
        while (bytes < record.size() && (static_cast<unsigned char>(record[bytes]) & 0xC0) == 0x80) {
            ++bytes;
        }
    }
    return std::string(record.substr(0, bytes));
}

// Fills the next free transfer-time slot from a "F転送" record.
void take_transfer_time(std::array<std::string, 2>& tensou_time, std::string_view record) {
    std::size_t slot = 0;
    if (!tensou_time[0].empty()) {
        if (!tensou_time[1].empty()) {
            return;
        }
        slot = 1;
    }
    auto text = settings::transfer_time_text(settings::record_value(record));
    if (!text) { // not a date or time: the record counts as "F転送= 3:00"
        text = settings::transfer_time_text(settings::record_value("F転送= 3:00"));
    }
    const auto colon = text->rfind(':');
    tensou_time[slot] = (colon == std::string::npos || colon == 0) ? std::string{} : *text;
}

void apply_record(StoreSettings& settings, std::string_view record) {
    const std::string key = key_of(record);
    if (key == "会社名") {
        settings.company = settings::record_value(record);
    } else if (key == "店舗C") {
        settings.store_code = settings::record_value(record);
    } else if (key == "店舗名") {
        settings.store_name = settings::record_value(record);
    } else if (key == "F転送") {
        take_transfer_time(settings.transfer_times, record);
    }
}

} // namespace

Result<StoreSettings> read_settings(const std::filesystem::path& file) {
    // Line by line: the records of one line are all that is held at a time.
    textfile::LineReader reader;
    if (const Status opened = reader.open(file); !opened) {
        return opened.error();
    }
    StoreSettings settings;
    std::string line;
    while (reader.next(line)) {
        for (const auto& record : read_records(line)) {
            apply_record(settings, record);
        }
    }
    return settings;
}
