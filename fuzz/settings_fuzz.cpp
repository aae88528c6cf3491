// The settings file action01.txt: the record reader and the value rules on any bytes, then the whole loader
// on a recorder whose root holds those bytes as its settings file, stand-alone and connected.
#include "FuzzRoot.h"
#include "app/recorder/ProgramEnd.h"
#include "app/recorder/StoreLists.h"
#include "core/Cp932.h"
#include "core/RecordReader.h"
#include "settings/SettingsFile.h"
#include "support/FakeServices.h"
#include "support/RecorderParts.h"
#include "view/WindowModel.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

const FuzzRoot& root() {
    static const FuzzRoot r;
    return r;
}

void check_pure_parts(std::string_view bytes) {
    for (const auto& record : read_records(cp932::to_utf8(bytes))) {
        fuzz_check(record.find_first_of("\r\n") == std::string::npos, "a record holds no line end");
        const std::string value = settings::record_value(record);
        fuzz_check(value.size() <= record.size(), "a value is part of its record");
        if (const auto t = settings::transfer_time_text(value)) {
            fuzz_check(t->empty() || t->find(':') != std::string::npos, "a transfer time has a time of day");
        }
    }
}

// One recorder per mode for the whole run: building one costs far more than loading a settings file (its
// member table is large).
TestRecorder& recorder(bool connected) {
    static TestRecorder standalone(root().path());
    static TestRecorder with_server(root().path(), DateTime{2026, 12, 8, 9, 0, 0}, [] {
        Options o;
        o.server = parse_server_setting("127.0.0.1", 21);
        return o;
    }());
    TestRecorder& t = connected ? with_server : standalone;
    t.ui.messages.clear();
    t.ui.store_setup_shown = 0;
    return t;
}

void try_settings(std::string_view bytes, bool connected) {
    root().reset();
    root().write("zerbanto/action01.txt", bytes);
    TestRecorder& t = recorder(connected);
    try {
        RecorderParts::lists(*t.rec).load_settings();
    } catch (const ProgramEnd&) {
        return; // a message said why; the program ends, which is allowed
    }
    const FmMain form = window_of(*t.rec);
    const auto& times = t.rec->lists().store().transfer_times;
    fuzz_check(form.lbl_tenso_stat[0].text == times[0], "the first transfer time is shown");
    fuzz_check(form.lbl_tenso_stat[1].text == times[1], "the second transfer time is shown");
    fuzz_check(t.ui.store_setup_shown == 0, "a present settings file needs no store setup");
    fuzz_check(form.lbl_type.text == t.rec->connection().label_text(), "the connection setting is shown");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    check_pure_parts(bytes);
    try_settings(bytes, size % 2 == 1);
    return 0;
}
