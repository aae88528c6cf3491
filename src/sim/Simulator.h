#pragma once

#include "app/recorder/Recorder.h"
#include "app/start/DataFolder.h"
#include "app/start/Options.h"
#include "app/start/SingleInstance.h"
#include "core/DateTime.h"
#include "sim/EventWriter.h"
#include "sim/ScriptedDrives.h"
#include "sim/ScriptedReader.h"
#include "sim/ScriptedUi.h"

#include <istream>
#include <memory>
#include <string>
#include <vector>

// Runs a script against the recorder's own logic with a simulated clock and scripted reader, answers and
// drives; the files, FTP transfers and drive folders are real.
class Simulator {
public:
    Simulator(Options options, std::ostream& out);
    ~Simulator();

    // Runs the script to its end or to the end of the program; returns the exit status (2 on a script error).
    int run(std::istream& script);

private:
    void execute(const std::vector<std::string>& words);
    void require_args(const std::vector<std::string>& words, std::size_t min, std::size_t max) const;
    void require_started() const;

    void cmd_time(const std::vector<std::string>& words);
    void cmd_start();
    void refuse_start(const DataFolder& taken);
    void cmd_second_start();
    void cmd_wait(const std::string& duration);
    void cmd_click(const std::string& control);
    void cmd_answer(const std::string& answer);
    void cmd_keypad(const std::vector<std::string>& words);
    void cmd_setup(const std::vector<std::string>& words);
    void cmd_drive(const std::vector<std::string>& words);
    void cmd_reader(const std::string& state);
    void report_log();

    Options options_;
    EventWriter events_;
    ManualClock clock_;
    ScriptedReader reader_;
    ScriptedUi ui_;
    ScriptedDrives drives_;
    std::unique_ptr<Sounds> sounds_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<Recorder> recorder_;
    bool time_set_ = false;
    bool started_ = false;
    bool finished_ = false;
    bool report_log_ = false;
    int status_ = 0; // 1 once the start was refused the data folder, or card stamping ended the program
};
