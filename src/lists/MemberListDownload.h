#pragma once

struct FtpJob;

// What came of the refresh: a fresh copy (in place, or left beside the list when it could not be put in
// place), no copy but the list on disk, or neither.
enum class MemberListRefresh { Fresh, OldList, NoList };

// In connected mode, replaces E99_member.csv with a fresh copy from the head office before it is loaded.
// A stale download copy is removed first and never taken for a fresh one.
[[nodiscard]] MemberListRefresh refresh_member_list(const FtpJob& session);
