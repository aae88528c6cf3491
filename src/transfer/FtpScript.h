#pragma once

#include "transfer/FtpRunner.h"

#include <string>
#include <string_view>

class Recorder;
struct Options;
class FmMain;

// Writes the eight-line FTP script for one transfer command ("get ..." or "mput ...") and runs it to its
// end, letting window events run meanwhile. Callers judge success by the local files afterwards; the
// outcome also names the files an "mput" delivered.
FtpOutcome run_ftp_script(Recorder& rec, std::string_view command);

// The server of the script: the connection setting, or the built-in server when the company name is "debug"
// in any case and one was given.
[[nodiscard]] std::string ftp_host(const FmMain& form, const Options& options);
