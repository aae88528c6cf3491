#include "app/SettingsLoad.h"

#include "app/ErrorMessages.h"
#include "app/RecorderState.h"
#include "settings/SettingsFile.h"

namespace {

// The store setup writes a settings file; one that cannot be written ends the program.
void run_store_setup(RecorderState& s) {
    s.uf_initial.set_settings_file(s.paths.settings_file());
    s.uf_initial.load();
    s.ui.show_modal(s.uf_initial);
    if (!s.uf_initial.last_write) {
        end_with_message(s, MessageIcon::Critical,
                         "設定ファイルを書き込めません。\n" + s.paths.settings_file().string());
    }
}

} // namespace

void load_settings(RecorderState& s) {
    for (;;) {
        const Result<StoreSettings> read = read_settings(s.paths.settings_file());
        if (read) {
            s.store = *read;
            return;
        }
        if (read.error() != ErrorNumber::FileNotFound) {
            end_with_message(s, MessageIcon::Critical, error_messages::unexpected_in_settings(number_of(read.error())));
        }
        if (!s.connection.connected()) {
            s.store.transfer_times = {};
            return;
        }
        run_store_setup(s);
    }
}
