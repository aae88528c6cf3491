// A month of a store made by timerecorder-sim: day and night shifts (across midnight and past 5:00), breaks,
// repeated touches, restarts and a card registered on the keypad. The hours are worked out here from the
// stamps the test made, minute by minute, and must be the report's totals.

#include "core/Cp932.h"
#include "report/ReportRun.h"
#include "report/ReportTime.h"
#include "support/Dice.h"
#include "support/SimRun.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

namespace {

using report::minutes_per_day;

struct Touch {
    std::int64_t minute = 0;
    int member = 0; // 0..5 listed, 6 the card registered on the keypad
    bool in = true;
    bool repeat = false; // touched again a few seconds later: the recorder logs it once
};

const std::vector<std::string> codes = {"1", "2", "3", "4", "5", "6", "77"};

std::string idm(int member) {
    return "C" + std::to_string(member);
}

// Each member's business days: about three in four worked, as one stay, two with a break, or a night shift.
std::vector<Touch> plan_month(Dice& dice, std::int64_t first_day, int days) {
    std::vector<Touch> t;
    for (int m = 0; m < 6; ++m) {
        std::int64_t free_from = 0;
        for (std::int64_t d = first_day; d < first_day + days; ++d) {
            const std::int64_t start = report::business_day_start(d);
            const bool night = dice.chance(30);
            std::int64_t in = start + (night ? dice.between(13 * 60, 16 * 60) : dice.between(4 * 60, 6 * 60));
            if (!dice.chance(75) || in < free_from + 30) {
                continue;
            }
            std::vector<std::int64_t> lengths = {dice.between(night ? 360 : 240, 600)};
            if (!night && dice.chance(50)) {
                lengths = {dice.between(180, 300), -dice.between(20, 60), dice.between(120, 300)};
            }
            for (std::int64_t len : lengths) {
                if (len > 0) {
                    t.push_back({in, m, true, dice.chance(10)});
                    t.push_back({in + len, m, false, dice.chance(10)});
                }
                in += std::abs(len);
            }
            free_from = t.back().minute;
        }
    }
    const std::int64_t registered_day = first_day + 9;
    t.push_back({report::business_day_start(registered_day) + 7LL * 60, 6, true, false});
    t.push_back({report::business_day_start(registered_day) + 10LL * 60 + 1, 6, false, false});
    std::stable_sort(t.begin(), t.end(), [](const Touch& a, const Touch& b) { return a.minute < b.minute; });
    return t;
}

std::string clock_line(std::int64_t seconds) {
    const auto d = report::civil_from_days(seconds / 86400);
    char buf[32];
    const auto s = seconds % 86400;
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02lld:%02lld:%02lld", d.year, d.month, d.day,
                  static_cast<long long>(s / 3600), static_cast<long long>(s / 60 % 60),
                  static_cast<long long>(s % 60));
    return buf;
}

// One script per run of the recorder; each run ends at a restart moment, when nobody touches the reader.
std::vector<std::string> scripts(const std::vector<Touch>& touches, const std::vector<std::int64_t>& restarts) {
    std::vector<std::string> out;
    std::ostringstream s;
    std::int64_t now = restarts[0] * 60;
    std::size_t next_restart = 1;
    std::map<std::int64_t, int> in_minute;
    s << "time " << clock_line(now) << "\nstart\n";
    const auto wait_until = [&](std::int64_t at) {
        if (at > now) {
            s << "wait " << at - now << "s\n";
            now = at;
        }
    };
    for (const Touch& t : touches) {
        while (next_restart < restarts.size() && restarts[next_restart] <= t.minute) {
            wait_until(restarts[next_restart] * 60);
            s << "close\n";
            out.push_back(s.str());
            s.str("");
            s << "time " << clock_line(now) << "\nstart\n";
            ++next_restart;
        }
        const std::int64_t at = t.minute * 60 + 3 + 7LL * in_minute[t.minute]++;
        wait_until(at);
        if (t.member == 6 && t.in) {
            s << "answer yes\nkeypad 7 7 登録\n";
        }
        s << "click " << (t.in ? "cmd_IN" : "cmd_OUT") << "\ntap " << idm(t.member) << "\n";
        if (t.repeat) {
            wait_until(at + 3);
            s << "tap " << idm(t.member) << "\n";
        }
    }
    wait_until(now + 120);
    s << "close\n";
    out.push_back(s.str());
    return out;
}

struct Expected {
    std::int64_t worked = 0, night = 0, overtime = 0, breaks = 0;
    std::int64_t all_overtime = 0; // beyond 8 hours a day, and each week's hours within them beyond 40
    std::int64_t short_breaks = 0; // days over 6 hours with less than 45 minutes of break, over 8 with less than 60
};

// Worked out from the touches alone: each in with the member's next out, minute by minute.
std::map<std::string, Expected> expected_totals(const std::vector<Touch>& touches) {
    std::map<std::string, Expected> e;
    std::map<std::pair<int, std::int64_t>, std::int64_t> per_day;
    std::map<std::pair<int, std::int64_t>, std::int64_t> last_out, day_breaks;
    std::map<int, std::int64_t> open;
    for (const Touch& t : touches) {
        if (t.in) {
            open[t.member] = t.minute;
            continue;
        }
        const std::int64_t in = open[t.member];
        const auto key = std::make_pair(t.member, report::business_day_of(in));
        Expected& x = e[codes[t.member]];
        for (std::int64_t m = in; m < t.minute; ++m) {
            const std::int64_t hour = m % minutes_per_day / 60;
            x.worked += 1;
            x.night += hour >= 22 || hour < 5 ? 1 : 0;
        }
        if (last_out.count(key) != 0) {
            x.breaks += in - last_out[key];
            day_breaks[key] += in - last_out[key];
        }
        last_out[key] = t.minute;
        per_day[key] += t.minute - in;
    }
    std::map<std::pair<int, std::int64_t>, std::int64_t> per_week; // weeks from Sunday: 1 Nov 2026 is one
    for (const auto& [key, worked] : per_day) {
        Expected& x = e[codes[key.first]];
        x.overtime += std::max<std::int64_t>(0, worked - 8LL * 60);
        per_week[{key.first, (key.second - report::days_from_civil(2026, 11, 1)) / 7}] +=
            std::min<std::int64_t>(worked, 8LL * 60);
        const std::int64_t breaks = day_breaks[key];
        x.short_breaks += (worked > 8LL * 60 && breaks < 60) || (worked > 6LL * 60 && breaks < 45) ? 1 : 0;
    }
    for (auto& [code, x] : e) {
        x.all_overtime = x.overtime;
    }
    for (const auto& [key, regular] : per_week) {
        e[codes[key.first]].all_overtime += std::max<std::int64_t>(0, regular - 40LL * 60);
    }
    return e;
}

std::vector<std::vector<std::string>> csv_rows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto end = text.find("\r\n", at);
        std::vector<std::string> fields;
        std::stringstream line(text.substr(at, end - at));
        for (std::string f; std::getline(line, f, ',');) {
            fields.push_back(f);
        }
        rows.push_back(fields);
        at = end + 2;
    }
    return rows;
}

std::int64_t minutes(const std::string& hm) {
    return std::stoll(hm.substr(0, hm.find(':'))) * 60 + std::stoll(hm.substr(hm.find(':') + 1));
}

TEST(SimulatedMonth, ReportTotalsAreTheHoursOfTheStampsMade) {
    TempRoot root;
    root.write_bytes("zerbanto/action01.txt", cp932_lines({"会社名= Corvale", "店舗CD = T01", "店舗名 = 第一店"}));
    root.write_bytes("zerbanto/E99_member.csv", cp932_lines({"99999,2026/11/01", "1,佐藤,C0", "2,鈴木,C1", "3,高橋,C2",
                                                             "4,田中,C3", "5,伊藤,C4", "6,渡辺,C5"}));
    Dice dice(seed_from_environment("TR_REPORT_SEED", 20261101));
    const std::int64_t first = report::days_from_civil(2026, 11, 1);
    const std::vector<Touch> touches = plan_month(dice, first, 30);
    std::vector<std::int64_t> restarts = {report::business_day_start(first) - 60};
    for (int d : {3, 7, 13, 17, 21, 25, 29}) {
        restarts.push_back(report::business_day_start(first + d) + 9LL * 60 + 7);
    }
    for (const auto& script : scripts(touches, restarts)) {
        const SimRun run = run_sim(root.path(), script);
        ASSERT_EQ(run.status, 0) << run.stderr_text;
    }

    // The office moves member 1's first shift-out 20 minutes later through a journal: the log keeps the stamp.
    std::vector<Touch> corrected = touches;
    const auto first_out =
        std::find_if(corrected.begin(), corrected.end(), [](const Touch& t) { return t.member == 0 && !t.in; });
    ASSERT_NE(first_out, corrected.end());
    const auto when = [](std::int64_t minute) {
        return report::date_text(report::floor_div(minute, minutes_per_day)) + " " + report::clock_text(minute);
    };
    root.write_bytes("journal.csv", cp932_lines({"店舗,コード,日時,区分,操作,理由,修正者,記入日時",
                                                 "T01,1," + when(first_out->minute) + ",2,取消,延長,店長,2026/12/1",
                                                 "T01,1," + when(first_out->minute + 20) + ",2,追加,延長,店長,"}));
    first_out->minute += 20;

    std::ostringstream out, err;
    ASSERT_EQ(run_report({"--month", "2026-11", "--encoding", "utf-8", "--corrections",
                          (root.path() / "journal.csv").string(), root.zerbanto().string()},
                         out, err),
              0)
        << err.str();
    EXPECT_NE(err.str().find("打刻: " + std::to_string(touches.size()) + "\n"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("注意: 1\n"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("修正: 適用 2、適用しなかった行 0\n"), std::string::npos) << err.str();
    const auto expected = expected_totals(corrected);
    std::map<std::string, Expected> got;
    std::map<std::string, std::int64_t> short_breaks; // the day rows come before their total
    std::size_t corrected_rows = 0;
    for (const auto& row : csv_rows(out.str())) {
        // 注意 is column 17, 修正 column 20 (a row's empty fields at its end are not split off).
        if (row.size() >= 17 && row[3] == "合計") {
            got[row[1]] = Expected{minutes(row[6]), minutes(row[8]),  minutes(row[9]),
                                   minutes(row[7]), minutes(row[11]), short_breaks[row[1]]};
            EXPECT_EQ(row[1] == "77", row.size() >= 18 && row[17] == "キーで仮登録したカード") << row[1];
        } else if (row.size() >= 18 && row[17] == "休憩不足") {
            ++short_breaks[row[1]];
        }
        corrected_rows += row.size() == 21 && row[20].find("退勤を取消") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(corrected_rows, 1u);
    ASSERT_EQ(got.size(), expected.size());
    for (const auto& [code, e] : expected) {
        EXPECT_EQ(got[code].worked, e.worked) << code;
        EXPECT_EQ(got[code].night, e.night) << code;
        EXPECT_EQ(got[code].overtime, e.overtime) << code;
        EXPECT_EQ(got[code].breaks, e.breaks) << code;
        EXPECT_EQ(got[code].all_overtime, e.all_overtime) << code;
        EXPECT_EQ(got[code].short_breaks, e.short_breaks) << code;
    }

    // The payroll file: one row per member with the same month.
    std::ostringstream payroll, payroll_err;
    ASSERT_EQ(run_report({"--month", "2026-11", "--format", "payroll", "--encoding", "utf-8", "--corrections",
                          (root.path() / "journal.csv").string(), root.zerbanto().string()},
                         payroll, payroll_err),
              0)
        << payroll_err.str();
    const auto rows = csv_rows(payroll.str());
    ASSERT_EQ(rows.size(), expected.size() + 1);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const auto& row = rows[i];
        ASSERT_EQ(row.size(), 14u);
        const Expected& e = expected.at(row[1]);
        EXPECT_EQ(minutes(row[4]), e.worked) << row[1];
        EXPECT_EQ(minutes(row[5]), e.all_overtime) << row[1];
        EXPECT_EQ(minutes(row[7]), e.night) << row[1];
        EXPECT_EQ(std::stoll(row[12]), e.short_breaks) << row[1];
        EXPECT_EQ(row[13], row[1] == "1" ? "2" : "0") << row[1]; // the journal's two lines, both member 1's
    }
}

} // namespace
