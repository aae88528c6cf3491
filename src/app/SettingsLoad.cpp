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
    s.tensou_time[0].clear();
    s.tensou_time[1].clear();
    for (;;) {
        const Status read = read_settings(s.paths.settings_file(), s.form, s.tensou_time);
        if (read) {
            break;
        }
        if (read.error() != ErrorNumber::FileNotFound) {
            end_with_message(s, MessageIcon::Critical, error_messages::unexpected_in_settings(number_of(read.error())));
        }
        if (!s.connection.connected()) {
            break;
        }
        run_store_setup(s);
    }
    s.form.lbl_tenso_stat[0].text = s.tensou_time[0];
    s.form.lbl_tenso_stat[1].text = s.tensou_time[1];
}
