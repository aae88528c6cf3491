#include "transfer/FtpScript.h"

#include "app/Recorder.h"

void run_ftp_script(Recorder&, std::string_view) {}
