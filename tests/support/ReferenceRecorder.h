#pragma once

#include "support/ReferenceBoard.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

// A small model of the recorder's day written from its rules, independent of the recorder's code: stamps
// with the repeat test and temporary registration, the log lines they write, the mode, the transfer times,
// the daily reset at 5:00 and the restart that rebuilds the board from the log. It knows only what a script
// does to the recorder, one poll at a time.
namespace reference {

struct Member {
    std::string code;
    std::string name;
    std::string idm;
};

struct Store {
    std::string code;                                 // the store code, the first field of every line
    std::vector<Member> members;                      // the member list, in file order
    std::vector<int> transfer_seconds;                // the transfer times as seconds of the day
    std::map<std::string, std::vector<PlanRow>> plan; // the shift plan by day (yymmdd); empty when stand-alone
};

class Recorder {
public:
    explicit Recorder(Store store) : store_(std::move(store)) {}

    // The program starts at t: the board is rebuilt from the plan and the log written so far.
    void start(Moment t);
    // The polls without a card, one a second, up to and including t: the daily reset, the transfer times, the
    // refresh in the first such poll of each minute.
    void advance(Moment t);
    // "シフト　イン" (1) or "シフト　アウト" (2).
    void click(int mode) { mode_ = mode; }
    // Whether a card is in the member table now (the list or a registration of this run).
    [[nodiscard]] bool knows(const std::string& idm) const { return find(idm) != nullptr; }
    // A card read by the poll at t (the daily reset comes first). An unknown card is registered with the cast code
    // typed on the keypad, or leaves no trace when code is 0. The line written to the log, if any.
    std::optional<std::string> read(const std::string& idm, Moment t, int code = 0);

    [[nodiscard]] int mode() const { return mode_; }
    [[nodiscard]] const Board& board() const { return board_; }
    // Every line the log must hold, oldest first (UTF-8, without line ends).
    [[nodiscard]] const std::vector<std::string>& lines() const { return lines_; }

private:
    struct Read {
        std::string idm;
        int mode;
        Moment when;
    };

    [[nodiscard]] const Member* find(const std::string& idm) const;
    const Member& register_card(const std::string& idm, int code);
    void poll_without_card(Moment t);
    void reset_if_due(Moment t);

    Store store_;
    std::vector<Member> registered_;
    Board board_;
    std::vector<LoggedStamp> stamps_;
    std::vector<std::string> lines_;
    std::optional<Read> last_;
    Moment now_{};
    Moment board_day_{};
    std::optional<Moment> refreshed_minute_;
    int mode_ = 1;
};

} // namespace reference
