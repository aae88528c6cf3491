#include "stamping/CardStamping.h"

#include "app/recorder/CardTouches.h"
#include "board/Board.h"
#include "core/Cp932.h"
#include "core/TextFile.h"
#include "core/TimeText.h"
#include "support/FakeServices.h"
#include "support/FileSizeLimit.h"
#include "support/RecorderParts.h"
#include "support/TempRoot.h"
#include "view/WindowModel.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

namespace {

const std::string hanako_idm = "012E4C1B3A5F6D7E";
const std::string taro_idm = "0101010101010101";
const std::string stranger_idm = "FFEEDDCCBBAA9988";

// A started recorder of store T01 with two members and an empty log, its clock at 9:00:00 on 8 December.
class CardStamping : public ::testing::Test {
protected:
    void SetUp() override {
        root.write_bytes("zerbanto/action01.txt", cp932_lines({"店舗CD = T01", "F転送= 12:15"}));
        root.write_bytes("zerbanto/E99_member.csv",
                         cp932_lines({"123,山田 花子," + hanako_idm, "456,鈴木太郎," + taro_idm}));
        t = std::make_unique<TestRecorder>(root.path(), DateTime{2026, 12, 8, 9, 0, 0});
        t->rec->start();
        ASSERT_FALSE(t->rec->ended());
        ASSERT_EQ(t->rec->lists().members().end_index(), 2);
        t->wait_seconds(1);
    }

    Recorder& rec() { return *t->rec; }
    void put(const std::string& idm) {
        t->reader.idm = idm;
        t->reader.present = true;
    }
    void lift() { t->reader.present = false; }
    // One poll with the card on the reader, then the card lifted for the next second.
    void touch(const std::string& idm) {
        put(idm);
        t->wait_seconds(1);
        lift();
    }
    void set_clock(DateTime when) {
        t->clock.set(when.plus_millis(-100));
        t->wait_seconds(1);
    }
    std::vector<std::string> log_lines() {
        std::vector<std::string> out;
        for (const auto& l : textfile::split_lines(cp932::to_utf8(root.read_bytes("zerbanto/KLOG_T01.csv")))) {
            out.push_back(l);
        }
        return out;
    }
    // Answers the question and then the keypad with these keys (digits or 登録/取消/close/timeout).
    void answer(const char* question, const std::vector<std::string>& keys = {}) {
        t->ui.on_yes_no = [question](YesNoDialog& d) {
            const std::string a = question;
            if (a == "yes") {
                d.cmd_Y_click();
            } else if (a == "no") {
                d.cmd_N_click();
            } else if (a == "close") {
                d.close_box();
            } else {
                d.time_out();
            }
        };
        t->ui.on_keypad = [keys](Keypad& k) {
            for (const auto& key : keys) {
                if (key.size() == 1 && std::isdigit(static_cast<unsigned char>(key[0]))) {
                    k.digit_click(key[0] - '0');
                } else if (key == "登録") {
                    k.sell_click();
                } else if (key == "取消") {
                    k.cancel_click();
                } else if (key == "close") {
                    k.close_box();
                } else {
                    k.time_out();
                }
            }
        };
    }

    TempRoot root;
    std::unique_ptr<TestRecorder> t;
};

// The repeat within a minute and one poll per second are decided from the recorder's state: the last read and
// the second shown.
TEST_F(CardStamping, OnePollASecondAndTheRepeatDecidedFromTheState) {
    set_clock({2026, 12, 8, 9, 5, 10});
    touch(hanako_idm);
    ASSERT_EQ(log_lines().size(), 1U);
    touch(hanako_idm); // 20 seconds later at most: still a repeat
    EXPECT_EQ(log_lines().size(), 1U);
    EXPECT_EQ(window_of(rec()).lbl_last_Idm.text, hanako_idm);

    const int polls = t->reader.polls;
    rec().timer_tick(); // the clock has not moved on
    EXPECT_EQ(t->reader.polls, polls);
    ASSERT_TRUE(rec().panel().clock().second);
    EXPECT_EQ(timetext::hms(*rec().panel().clock().second), window_of(rec()).lbl_Disp_time.text);
}

TEST_F(CardStamping, KnownCardIsStampedShownChimedAndLoggedWithThePlannedTimesOfItsRow) {
    // A planned row from the shift plan for the member.
    RecorderParts::card(rec()).board().rows[0].planned_start = "9:00";
    RecorderParts::card(rec()).board().rows[0].name = "山田 花子";
    RecorderParts::card(rec()).board().rows[0].planned_leave = "17:00";
    set_clock({2026, 12, 8, 9, 5, 10});
    touch(hanako_idm);

    EXPECT_EQ(window_of(rec()).lbl_Read_Status.text, "◎");
    EXPECT_EQ(window_of(rec()).lbl_Read_Name.text, "山田 花子");
    EXPECT_EQ(window_of(rec()).lbl_Read_Name.pt, 36);
    EXPECT_EQ(window_of(rec()).board[0].iT.text, "9:05");
    EXPECT_EQ(t->sounds.played, std::vector<std::string>{"chimes"});
    EXPECT_EQ(log_lines(), std::vector<std::string>{"T01,2026/12/8 9:05,123,山田 花子,1,9:00,17:00," + hanako_idm});
    EXPECT_EQ(window_of(rec()).lbl_last_Idm.text, hanako_idm);
    EXPECT_EQ(window_of(rec()).lbl_last_io.text, "1");
    EXPECT_EQ(window_of(rec()).lbl_last_time.text, "9:05:11");
    EXPECT_TRUE(rec().polling());
    // The next poll without a card empties the result and lets pending events run.
    const int before = t->ui.events_processed;
    t->wait_seconds(1);
    EXPECT_FALSE(rec().card().read_shown());
    EXPECT_EQ(window_of(rec()).lbl_Read_Status.text, "");
    EXPECT_GT(t->ui.events_processed, before);
}

TEST_F(CardStamping, RepeatTestKeepsALyingCardAndQuickRetouchesOutButNotAModeChangeOrAMinuteLater) {
    put(taro_idm);
    t->wait_seconds(180); // lying for three minutes: read every second, logged once
    lift();
    EXPECT_EQ(log_lines().size(), 1U);
    EXPECT_EQ(std::count(t->sounds.played.begin(), t->sounds.played.end(), "chimes"), 180);

    t->wait_seconds(59);
    touch(taro_idm); // 60 s after the last read of the lying card
    EXPECT_EQ(log_lines().size(), 2U);

    t->wait_seconds(5);
    rec().cmd_out_click();
    touch(taro_idm); // a shift-out right after a shift-in
    ASSERT_EQ(log_lines().size(), 3U);
    EXPECT_NE(log_lines()[2].find(",鈴木太郎,2,,,"), std::string::npos) << log_lines()[2];

    t->wait_seconds(30);
    touch(taro_idm);
    EXPECT_EQ(log_lines().size(), 3U);
}

TEST_F(CardStamping, RepeatWindowMeasuresFullDateTimesAcrossMidnightAndDays) {
    set_clock({2026, 12, 8, 23, 59, 50});
    touch(taro_idm);
    set_clock({2026, 12, 9, 0, 0, 10}); // 20 s later, on the next calendar day
    touch(taro_idm);
    EXPECT_EQ(log_lines().size(), 1U);

    set_clock({2026, 12, 10, 0, 0, 11}); // the same time of day one day later
    touch(taro_idm);
    EXPECT_EQ(log_lines().size(), 2U);

    // The design texts of the last-read labels are no earlier read: 4BBCB01B at 23:53:30 is logged.
    TempRoot other;
    other.write_bytes("zerbanto/E99_member.csv", cp932_lines({"9,見本,4BBCB01B"}));
    TestRecorder fresh(other.path(), DateTime{2026, 12, 8, 23, 53, 20});
    fresh.rec->start();
    ASSERT_FALSE(fresh.rec->ended());
    fresh.reader.idm = "4BBCB01B";
    fresh.reader.present = true;
    fresh.wait_seconds(1);
    EXPECT_EQ(textfile::split_lines(cp932::to_utf8(other.read_bytes("zerbanto/KLOG_T99.csv"))).size(), 1U);
}

TEST_F(CardStamping, NameLengthChoosesTheFontSize) {
    for (const auto& [name, pt] : std::vector<std::pair<std::string, double>>{
             {"あいうえおか", 36}, {"あいうえおかき", 28}, {"abcdef", 36}, {"abcdefg", 28}}) {
        RecorderParts::lists(rec()).members().slot(0).name = name;
        t->wait_seconds(61);
        touch(hanako_idm);
        EXPECT_EQ(window_of(rec()).lbl_Read_Name.text, name);
        EXPECT_EQ(window_of(rec()).lbl_Read_Name.pt, pt) << name;
    }
}

struct Refusal {
    const char* name;
    const char* question;
    std::vector<std::string> keys;
    int keypad_shown;
};

void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}

class UnregisteredCardRefused : public CardStamping, public ::testing::WithParamInterface<Refusal> {};

TEST_P(UnregisteredCardRefused, LeavesNoTrace) {
    touch(taro_idm);
    const auto labels_before = std::make_tuple(window_of(rec()).lbl_last_Idm.text, window_of(rec()).lbl_last_time.text);
    RecorderParts::keypad(rec()).tenkey_code = 456; // left by an earlier registration in the run
    answer(GetParam().question, GetParam().keys);
    set_clock({2026, 12, 8, 10, 0, 0});
    touch(stranger_idm);

    EXPECT_EQ(t->ui.yes_no_shown, 1);
    EXPECT_EQ(rec().card().question().UF2L.text, "カード違い\n\nこのまま 一時的に登録しますか?");
    EXPECT_EQ(t->ui.keypad_shown, GetParam().keypad_shown);
    EXPECT_EQ(t->sounds.played.back(), "chord");
    EXPECT_EQ(log_lines().size(), 1U);
    EXPECT_EQ(std::make_tuple(window_of(rec()).lbl_last_Idm.text, window_of(rec()).lbl_last_time.text), labels_before);
    EXPECT_EQ(window_of(rec()).board[1].Cast.text, "");
    EXPECT_EQ(rec().lists().members().end_index(), 2);
    EXPECT_TRUE(rec().polling());
}

INSTANTIATE_TEST_SUITE_P(
    AnswersAndKeypadExits, UnregisteredCardRefused,
    ::testing::Values(Refusal{"No", "no", {}, 0}, Refusal{"CloseBox", "close", {}, 0},
                      Refusal{"QuestionTimeout", "timeout", {}, 0},
                      Refusal{"KeypadCancel", "yes", {"1", "2", "取消"}, 1},
                      Refusal{"KeypadCloseBox", "yes", {"1", "2", "close"}, 1},
                      Refusal{"KeypadTimeout", "yes", {"4", "timeout"}, 1},
                      // 登録 before any digit: the code of an earlier registration is not handed back
                      Refusal{"RegisterWithoutDigits", "yes", {"登録"}, 1}),
    [](const ::testing::TestParamInfo<Refusal>& p) { return std::string(p.param.name); });

TEST_F(CardStamping, UnregisteredCardRegisteredOnTheKeypadIsFoundAtItsNextTouch) {
    // An earlier registration in the run left tenkey_code at 456.
    RecorderParts::keypad(rec()).tenkey_code = 456;
    answer("yes", {"1", "2", "3", "登録"});
    set_clock({2026, 12, 8, 10, 0, 0});
    touch(stranger_idm);
    EXPECT_EQ(t->ui.keypad_shown, 1);
    EXPECT_EQ(window_of(rec()).lbl_Read_Name.text, "山田 花子");
    ASSERT_EQ(log_lines().size(), 1U);
    EXPECT_EQ(log_lines()[0], "T01,2026/12/8 10:00,123,山田 花子,1,,," + stranger_idm);
    EXPECT_EQ(rec().lists().members().slot(2).idm, stranger_idm);
    EXPECT_EQ(t->sounds.played, (std::vector<std::string>{"chord", "chimes"}));

    t->wait_seconds(120);
    touch(stranger_idm); // found in the table now: no question
    EXPECT_EQ(t->ui.yes_no_shown, 1);
    EXPECT_EQ(log_lines().size(), 2U);

    // A code nobody has: the name is the code in angle brackets.
    answer("yes", {"4", "5", "6", "7", "登録"});
    touch("AAAA0000AAAA0000");
    EXPECT_EQ(window_of(rec()).lbl_Read_Name.text, "<4567>");
    EXPECT_EQ(log_lines().back(), "T01,2026/12/8 10:02,4567,<4567>,1,,,AAAA0000AAAA0000");
}

// The clock stands still while the keypad is open: the first poll after it comes a moment after the read.
// The mark and the name stay a whole second all the same.
TEST_F(CardStamping, TheReadAfterTheKeypadStaysASecond) {
    answer("yes", {"1", "2", "3", "登録"});
    const auto keys = t->ui.on_keypad;
    t->ui.on_keypad = [this, keys](Keypad& k) {
        keys(k);
        t->clock.advance_millis(5'000); // answered at 10:00:06.000
    };
    set_clock({2026, 12, 8, 10, 0, 0});
    put(stranger_idm);
    t->clock.advance_millis(100);
    rec().timer_tick();
    lift();
    ASSERT_EQ(t->ui.keypad_shown, 1);
    for (int tick = 1; tick < 10; ++tick) { // 10:00:06.100 (a new second for the timer) to 10:00:06.900
        t->clock.advance_millis(100);
        rec().timer_tick();
        EXPECT_EQ(window_of(rec()).lbl_Read_Status.text, "◎") << "tick " << tick;
        EXPECT_EQ(window_of(rec()).lbl_Read_Name.text, "山田 花子") << "tick " << tick;
    }
    t->clock.advance_millis(100); // 10:00:07.000: a second after the read
    rec().timer_tick();
    EXPECT_EQ(window_of(rec()).lbl_Read_Status.text, "");
    EXPECT_FALSE(rec().card().read_shown());
}

TEST_F(CardStamping, EveryNulOfTheBufferIsRemovedAndAnEmptyIdmIsLookedUpLikeAnyOther) {
    touch(std::string("0101\0"
                      "0101\0\0"
                      "01010101",
                      19));
    ASSERT_EQ(log_lines().size(), 1U);
    EXPECT_EQ(log_lines()[0], "T01,2026/12/8 9:00,456,鈴木太郎,1,,," + taro_idm);

    // A card read with nothing in the buffer: no member has an empty IDm, so it is an unregistered card.
    answer("no");
    touch("");
    EXPECT_EQ(t->ui.yes_no_shown, 1);
    // Once a member with an empty IDm is in the table, such a read is that member's.
    RecorderParts::lists(rec()).members().slot(2) = {"789", "高橋", ""};
    RecorderParts::lists(rec()).members().slot(3) = {};
    touch("");
    EXPECT_EQ(t->ui.yes_no_shown, 1);
    EXPECT_EQ(log_lines().back(), "T01,2026/12/8 9:00,789,高橋,1,,,");
}

TEST_F(CardStamping, EmptyMemberTableSendsEveryCardToTheQuestion) {
    RecorderParts::lists(rec()).members().slot(0) = {};
    answer("no");
    touch(hanako_idm);
    EXPECT_EQ(t->ui.yes_no_shown, 1);
    EXPECT_TRUE(log_lines().empty());
}

TEST_F(CardStamping, FullBoardStillLogsWithEmptyPlannedTimes) {
    for (int i = 0; i < board_rows; ++i) {
        put_stamp_on_board(RecorderParts::card(rec()).board(), "member " + std::to_string(i), 1, "8:00");
    }
    touch(hanako_idm);
    ASSERT_EQ(log_lines().size(), 1U);
    EXPECT_EQ(log_lines()[0], "T01,2026/12/8 9:00,123,山田 花子,1,,," + hanako_idm);
}

// A reader component that fails with a chosen error.
class FailingReader final : public CardReader {
public:
    // Without a number: a failure that carries none of its own.
    explicit FailingReader(std::optional<ErrorNumber> n) : n_(n) {}
    std::int16_t get_smart_card_uid(Buffer&) override {
        if (!n_) {
            throw std::logic_error("no number");
        }
        throw RuntimeError(*n_);
    }

private:
    std::optional<ErrorNumber> n_;
};

TEST(CardStampingFailure, EachErrorEndsTheProgramWithItsCriticalMessageAndTheLogClosed) {
    const std::vector<std::pair<std::optional<ErrorNumber>, std::string>> cases{
        {ErrorNumber::BadFileNameOrNumber, "LOGファイルに書き込みできません"},
        {ErrorNumber::FileNotFound, "'C:\\Zerbanto\\QuillSmartCard.dll がありません"},
        {ErrorNumber::PermissionDenied, "get_card_idm 書き込みできません"},
        {ErrorNumber::PathNotFound, "get_card_idm 想定外エラー =76"},
        {std::nullopt, "get_card_idm 想定外エラー =51"},
    };
    for (const auto& [number, text] : cases) {
        TempRoot root;
        root.write_bytes("zerbanto/E99_member.csv", cp932_lines({"1,A,AB"}));
        ManualClock clock(DateTime{2026, 12, 8, 9, 0, 0});
        FakeUi ui;
        FailingReader reader(number);
        FakeSounds sounds;
        FakeDrives drives;
        Options options;
        options.root = root.path();
        Recorder rec(Services{clock, ui, reader, sounds, drives}, options);
        rec.start();
        ASSERT_TRUE(rec.card().log_open());
        clock.advance_millis(1000);
        rec.timer_tick();
        EXPECT_TRUE(rec.ended());
        EXPECT_TRUE(rec.failed()); // the programs end with a status that says so
        EXPECT_FALSE(rec.card().log_open());
        EXPECT_FALSE(rec.polling());
        ASSERT_EQ(ui.messages.size(), 1U);
        EXPECT_EQ(ui.messages[0].icon, MessageIcon::Critical);
        EXPECT_EQ(ui.messages[0].buttons, MessageButtons::Ok);
        EXPECT_EQ(ui.messages[0].text, text);
    }
}

TEST_F(CardStamping, RealFailuresOfTheStampPath) {
    // The log channel closed when a line is written.
    RecorderParts::card(rec()).close_log();
    touch(hanako_idm);
    ASSERT_TRUE(rec().ended());
    EXPECT_EQ(t->ui.messages.back().text, "LOGファイルに書き込みできません");

    // The reader component cannot be loaded.
    TempRoot other;
    other.write_bytes("zerbanto/E99_member.csv", cp932_lines({"1,A,AB"}));
    TestRecorder missing(other.path());
    missing.rec->start();
    missing.reader.missing = true;
    missing.wait_seconds(1);
    ASSERT_TRUE(missing.rec->ended());
    EXPECT_EQ(missing.ui.messages.back().text, "'C:\\Zerbanto\\QuillSmartCard.dll がありません");

    // A clock that shows no second when a card is read.
    TempRoot third;
    third.write_bytes("zerbanto/E99_member.csv", cp932_lines({"1,A,AB"}));
    TestRecorder odd(third.path());
    odd.rec->start();
    odd.reader.idm = "AB";
    odd.reader.present = true;
    RecorderParts::panel(*odd.rec).stop_clock();
    try {
        RecorderParts::card(*odd.rec).poll_card_and_run_clock_jobs();
        ADD_FAILURE() << "the poll went on";
    } catch (const ProgramEnd& end) {
        EXPECT_TRUE(end.failed);
    }
    EXPECT_EQ(odd.ui.messages.back().text, "get_card_idm 想定外エラー =13");
}

// A full disk: the member hears no chime and sees no name, the board is unchanged, the log has no fragment,
// and the program ends with the log message.
TEST_F(CardStamping, ALineThatCannotBeWrittenIsNeitherChimedNorShown) {
    touch(taro_idm);
    t->wait_seconds(1); // a poll without a card empties the shown name
    const std::string before = root.read_bytes("zerbanto/KLOG_T01.csv");
    {
        const FileSizeLimit full(before.size() + 10);
        put(hanako_idm);
        t->wait_seconds(1);
    }
    ASSERT_TRUE(rec().ended());
    EXPECT_EQ(t->ui.messages.back().text, "LOGファイルに書き込みできません");
    EXPECT_EQ(t->sounds.played, std::vector<std::string>{"chimes"}); // taro's only
    EXPECT_FALSE(rec().card().read_shown());
    EXPECT_EQ(rec().card().board().rows[1].name, "");
    EXPECT_EQ(root.read_bytes("zerbanto/KLOG_T01.csv"), before);
}

TEST_F(CardStamping, DailyResetRunsOnceAtTheFirstPollOfTheBusinessDayEvenWithACardLying) {
    touch(taro_idm);
    set_clock({2026, 12, 9, 4, 59, 50});
    rec().cmd_out_click();
    put(hanako_idm); // lying on the reader across 5:00:00
    t->wait_seconds(9);
    ASSERT_EQ(rec().card().board().rows[1].name, "山田 花子");
    EXPECT_EQ(rec().panel().mode(), StampMode::ShiftOut);
    t->wait_seconds(1); // 5:00:00: the reset comes first, then the card is stamped on the fresh board in mode 1
    EXPECT_EQ(rec().card().board().rows[0].name, "山田 花子");
    EXPECT_EQ(window_of(rec()).board[0].Cast.back, colors::on_shift);
    EXPECT_EQ(rec().card().board().rows[1].name, "");
    EXPECT_EQ(rec().panel().mode(), StampMode::ShiftIn);
    EXPECT_EQ(log_lines().size(), 3U); // taro, hanako's shift-out at 4:59:50, hanako's shift-in at 5:00:00
    lift();

    // Later the same business day nothing is reset, also not across the calendar midnight.
    t->wait_seconds(5);
    put_stamp_on_board(RecorderParts::card(rec()).board(), "鈴木太郎", 1, "5:01");
    set_clock({2026, 12, 10, 4, 59, 59});
    EXPECT_EQ(rec().card().board().rows[1].name, "鈴木太郎");
    set_clock({2026, 12, 10, 5, 0, 30}); // first poll after 5:00 of the next business day
    EXPECT_EQ(rec().card().board().rows[0].name, "");

    // A clock set back across 5:00 is an earlier business day: today's board stays.
    put_stamp_on_board(RecorderParts::card(rec()).board(), "鈴木太郎", 1, "5:01");
    set_clock({2026, 12, 10, 4, 59, 50});
    EXPECT_EQ(rec().card().board().rows[0].name, "鈴木太郎");
}

TEST_F(CardStamping, DailyResetWaitsForADialogOpenAt500AndRunsRightAfterIt) {
    touch(taro_idm);
    set_clock({2026, 12, 9, 4, 59, 30});
    std::string board_when_closed;
    t->ui.on_yes_no = [&](YesNoDialog& d) { // nobody answers: it closes itself 60 s later, at 5:00:31
        t->clock.advance_millis(60'000);
        d.time_out();
        lift(); // the member walked away
        board_when_closed = rec().card().board().rows[0].name;
    };
    ASSERT_EQ(rec().card().board().rows[0].name, "鈴木太郎");
    touch(stranger_idm); // the first poll after the dialog comes within the same second
    EXPECT_EQ(t->ui.yes_no_shown, 1);
    EXPECT_EQ(board_when_closed, "鈴木太郎");
    EXPECT_EQ(rec().card().board().rows[0].name, "");
    EXPECT_EQ(log_lines().size(), 1U);
}

TEST_F(CardStamping, StartAfter500KeepsTheRestoredBoardAndTransferTimesReturnToShiftIn) {
    // Start-up built this business day's board: the first poll must not empty it.
    put_stamp_on_board(RecorderParts::card(rec()).board(), "鈴木太郎", 1, "8:55");
    t->wait_seconds(3);
    EXPECT_EQ(rec().card().board().rows[0].name, "鈴木太郎");

    set_clock({2026, 12, 8, 12, 14, 58});
    rec().cmd_out_click();
    t->wait_seconds(1);
    EXPECT_EQ(rec().panel().mode(), StampMode::ShiftOut);
    t->wait_seconds(1); // 12:15:00
    EXPECT_EQ(rec().panel().mode(), StampMode::ShiftIn);
    EXPECT_TRUE(rec().card().log_open());
    EXPECT_EQ(window_of(rec()).lbl_min_stat.text, "15");
}

TEST_F(CardStamping, TransferTimeAt500RunsTheResetAndTheFlushInOneCall) {
    root.write_bytes("zerbanto/action01.txt", cp932_lines({"店舗CD = T01", "F転送= 12:15", "F転送= 05:00"}));
    RecorderParts::lists(rec()).load_settings();
    touch(taro_idm);
    rec().cmd_out_click();
    set_clock({2026, 12, 9, 5, 0, 0});
    EXPECT_EQ(rec().card().board().rows[0].name, "");
    EXPECT_EQ(rec().panel().mode(), StampMode::ShiftIn);
    EXPECT_TRUE(rec().card().log_open());
    touch(hanako_idm);
    EXPECT_EQ(log_lines().size(), 2U);
}

} // namespace

// The running times move on by themselves: the first poll of each new minute refreshes them, with the
// timer on again afterwards; polls within the minute leave them alone.
TEST_F(CardStamping, RunningTimesAreRefreshedAtTheFirstPollOfEachMinute) {
    set_clock({2026, 12, 8, 9, 5, 10});
    touch(hanako_idm);
    const auto row = [&] { return window_of(rec()).board[0]; };
    ASSERT_EQ(row().Cast.text, "山田 花子");
    EXPECT_EQ(row().ET.text, "0:00");

    set_clock({2026, 12, 8, 9, 59, 58});
    EXPECT_EQ(row().ET.text, "0:54");
    EXPECT_EQ(window_of(rec()).lbl_min_stat.text, "59");
    t->wait_seconds(1); // 9:59:59, still minute 59: nothing changes
    EXPECT_EQ(row().ET.text, "0:54");
    t->wait_seconds(1); // 10:00:00
    EXPECT_EQ(row().ET.text, "0:55");
    EXPECT_EQ(window_of(rec()).lbl_min_stat.text, "0");
    EXPECT_TRUE(rec().polling());
    t->wait_seconds(4 * 60 * 60); // four hours on shift: the running time turns yellow
    EXPECT_EQ(row().ET.text, "4:55");
    EXPECT_EQ(row().ET.back, colors::yellow);
}
