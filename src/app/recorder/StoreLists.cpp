#include "app/recorder/StoreLists.h"

#include "app/recorder/ErrorMessages.h"
#include "app/recorder/FtpJobOf.h"
#include "app/recorder/ProgramEnd.h"
#include "core/TimeText.h"
#include "lists/MemberList.h"
#include "lists/MemberListDownload.h"
#include "lists/ShiftPlan.h"

namespace fs = std::filesystem;

StoreLists::StoreLists(Clock& clock, UserInterface& ui, const Options& options, const Paths& paths,
                       const Connection& connection)
    : clock_(clock), ui_(ui), options_(options), paths_(paths), connection_(connection),
      uf_initial_(paths.settings_file()) {}

// The store setup writes a settings file; one that cannot be written ends the program.
void StoreLists::run_store_setup() {
    uf_initial_.load();
    ui_.show_modal(uf_initial_);
    if (!uf_initial_.last_write) {
        end_with_message(ui_, MessageIcon::Critical,
                         "設定ファイルを書き込めません。\n" + paths_.settings_file().string());
    }
}

void StoreLists::load_settings() {
    for (;;) {
        const Result<StoreSettings> read = read_settings(paths_.settings_file());
        if (read) {
            store_ = *read;
            return;
        }
        if (read.error() != ErrorNumber::FileNotFound) {
            end_with_message(ui_, MessageIcon::Critical,
                             error_messages::unexpected_in_settings(number_of(read.error())));
        }
        if (!connection_.connected()) {
            store_.transfer_times = {};
            return;
        }
        run_store_setup();
    }
}

void StoreLists::refresh_member_list_or_end() {
    switch (refresh_member_list(ftp_job(options_, paths_, store_.company, ui_))) {
    case MemberListRefresh::Fresh:
        return;
    case MemberListRefresh::UnplacedOldList:
        ui_.message(MessageIcon::Exclamation, MessageButtons::Ok,
                    "c:\\zerbanto\\E99_member."
                    "csv\r\n受け取ったメンバーリストに置き換えられません。前回のメンバーリストを使用します。");
        return;
    case MemberListRefresh::UnplacedNoList:
        ui_.message(MessageIcon::Exclamation, MessageButtons::Ok,
                    "c:\\zerbanto\\E99_member.csv\r\n受け取ったメンバーリストに置き換えられません。");
        return;
    case MemberListRefresh::OldList:
        ui_.message(MessageIcon::Information, MessageButtons::Ok,
                    "通信ができない為、前回のメンバーリストを使用します。");
        return;
    case MemberListRefresh::NoList:
        end_with_message(ui_, MessageIcon::Critical, "c:\\zerbanto\\E99_member.csv\r\nメンバーリストが取得できません");
    }
}

void StoreLists::load_member_list() {
    if (connection_.connected()) {
        refresh_member_list_or_end();
    }
    const Status loaded = ::load_member_list(paths_.member_list(), members_, member_date_);
    // Any other failure leaves the list as far as it was loaded; start-up goes on.
    if (!loaded && loaded.error() == ErrorNumber::FileNotFound) {
        end_with_message(ui_, MessageIcon::Critical, "従業員リスト\nC:\\Zerbanto\\E99_member.csv が見当たりません");
    }
}

void StoreLists::load_todays_shift_plan(BoardState& board) {
    // Stand-alone, the plan is not loaded, except in the demo, whose plan is the sample copy on disk.
    if (!connection_.connected() && !options_.demo) {
        return;
    }
    const std::string name = shift_file_name(store_.store_code);
    if (connection_.connected()) {
        // A failed transfer leaves the copy of an earlier run, which is used; a script that cannot be written
        // ends the step with nothing loaded.
        if (!run_ftp_script(ftp_job(options_, paths_, store_.company, ui_), "get " + name + " c:\\zerbanto\\" + name)) {
            return;
        }
    }
    const fs::path plan = paths_.file(name);
    std::error_code ec;
    if (!fs::is_regular_file(plan, ec)) {
        return;
    }
    load_shift_plan(board, shift_title_, plan, timetext::yymmdd(clock_.now()));
}
