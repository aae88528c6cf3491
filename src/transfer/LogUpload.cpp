#include "transfer/LogUpload.h"

#include "app/Recorder.h"
#include "core/Cp932.h"
#include "core/PrivateFolder.h"
#include "core/TextFile.h"
#include "core/TimeText.h"
#include "transfer/FtpScript.h"

namespace fs = std::filesystem;

std::string upload_copy_name(std::string_view store_code, const DateTime& now) {
    return "K" + std::string(utf8_right(store_code, 2)) + "_" + timetext::yymmdd(now) + "_" + timetext::hhnn(now) +
           ".CSV";
}

void Pre_Tensou_STD(Recorder& rec) {
    const std::string name = upload_copy_name(rec.form.lbl_MiseID.text, rec.clock.now());
    const fs::path outbox = rec.paths.cortmp();
    std::error_code ec;
    if (make_private_folder(outbox)) {
        return;
    }
    if (!textfile::copy_file_atomic(rec.log_path(), resolve_case_insensitive(outbox, name))) {
        return;
    }
    if (!rec.connected()) {
        return;
    }
    const FtpOutcome outcome = run_ftp_script(rec, "mput C:\\cortmp\\*.*");
    // Only what the server took leaves the outbox; the rest goes with the next upload.
    for (const auto& file : outcome.uploaded) {
        fs::remove(file, ec);
    }
}
