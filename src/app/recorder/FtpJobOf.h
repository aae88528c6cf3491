#pragma once

#include "app/start/Options.h"
#include "core/Paths.h"
#include "dialogs/UserInterface.h"
#include "transfer/FtpScript.h"

#include <string>

// The transfer session of the recorder: its server (or the built-in one for the company "debug"), the port
// and time limits of the command line, the login and keys of the server configuration, and the window whose
// events run meanwhile.
[[nodiscard]] FtpJob ftp_job(const Options& o, const Paths& paths, const std::string& company, UserInterface& ui);
