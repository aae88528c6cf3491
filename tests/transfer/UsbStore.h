#pragma once

#include "support/SimRun.h"
#include "support/TempRoot.h"

#include <string>
#include <vector>

// A store ready to start in the simulator: its settings and a member list in the system folder.
inline const std::string store_member_list =
    cp932_lines({"99999,2016/07/01", "101,山田 花子,0123456789ABCDEF", "102,佐藤 一郎,FEDCBA9876543210"});

inline void write_store(const TempRoot& root, const std::string& store_code = "T04") {
    root.write_bytes("zerbanto/action01.txt",
                     cp932_lines({"会社名= Corvale", "店舗CD = " + store_code, "店舗名 = 本町店", "F転送= 12:15"}));
    root.write_bytes("zerbanto/E99_member.csv", store_member_list);
}

// The texts of the message boxes of a run, in order.
inline std::vector<std::string> message_texts(const SimRun& run) {
    std::vector<std::string> out;
    for (const auto& m : run.of("message")) {
        out.push_back(m.at("text").get<std::string>());
    }
    return out;
}
