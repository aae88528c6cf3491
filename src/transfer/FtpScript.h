#pragma once

#include <string_view>

class Recorder;

// Writes the eight-line FTP script for one transfer command ("get ..." or "mput ...") and runs it to its
// end, letting window events run meanwhile. Callers judge success by the local files afterwards.
void run_ftp_script(Recorder& rec, std::string_view command);
