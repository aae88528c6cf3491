#include "app/ShiftPlanLoad.h"

#include "app/FtpJobOf.h"
#include "app/RecorderState.h"
#include "core/TimeText.h"
#include "lists/ShiftPlan.h"

namespace fs = std::filesystem;

void load_todays_shift_plan(RecorderState& s) {
    // Stand-alone, the plan is not loaded, except in the demo, whose plan is the sample copy on disk.
    if (!s.connection.connected() && !s.options.demo) {
        return;
    }
    const std::string name = shift_file_name(s.store.store_code);
    if (s.connection.connected()) {
        // A failed transfer leaves the copy of an earlier run, which is used; a script that cannot be written
        // ends the step with nothing loaded.
        if (!run_ftp_script(ftp_job(s), "get " + name + " c:\\zerbanto\\" + name)) {
            return;
        }
    }
    const fs::path plan = s.paths.file(name);
    std::error_code ec;
    if (!fs::is_regular_file(plan, ec)) {
        return;
    }
    load_shift_plan(s.board, s.shift_title, plan, timetext::yymmdd(s.clock.now()));
}
