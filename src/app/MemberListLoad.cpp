#include "app/MemberListLoad.h"

#include "app/FtpJobOf.h"
#include "app/RecorderState.h"
#include "lists/MemberList.h"
#include "lists/MemberListDownload.h"

void refresh_member_list_or_end(RecorderState& s) {
    switch (refresh_member_list(ftp_job(s))) {
    case MemberListRefresh::Fresh:
        return;
    case MemberListRefresh::UnplacedOldList:
        s.ui.message(MessageIcon::Exclamation, MessageButtons::Ok,
                     "c:\\zerbanto\\E99_member."
                     "csv\r\n受け取ったメンバーリストに置き換えられません。前回のメンバーリストを使用します。");
        return;
    case MemberListRefresh::UnplacedNoList:
        s.ui.message(MessageIcon::Exclamation, MessageButtons::Ok,
                     "c:\\zerbanto\\E99_member.csv\r\n受け取ったメンバーリストに置き換えられません。");
        return;
    case MemberListRefresh::OldList:
        s.ui.message(MessageIcon::Information, MessageButtons::Ok,
                     "通信ができない為、前回のメンバーリストを使用します。");
        return;
    case MemberListRefresh::NoList:
        end_with_message(s, MessageIcon::Critical, "c:\\zerbanto\\E99_member.csv\r\nメンバーリストが取得できません");
    }
}

void load_member_list_at_start(RecorderState& s) {
    if (s.connection.connected()) {
        refresh_member_list_or_end(s);
    }
    const Status loaded = load_member_list(s.paths.member_list(), s.members, s.member_date);
    // Any other failure leaves the list as far as it was loaded; start-up goes on.
    if (!loaded && loaded.error() == ErrorNumber::FileNotFound) {
        end_with_message(s, MessageIcon::Critical, "従業員リスト\nC:\\Zerbanto\\E99_member.csv が見当たりません");
    }
}
