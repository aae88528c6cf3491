#pragma once

#include "transfer/FtpScript.h"

struct RecorderState;

// The transfer session of the recorder: its server (or the built-in one for the company "debug"), the port
// and time limits of the command line, the login and keys of the server configuration, and the window whose
// events run meanwhile.
[[nodiscard]] FtpJob ftp_job(RecorderState& s);
