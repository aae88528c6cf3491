#pragma once

struct FtpJob;

// What came of the refresh: a fresh copy in place; a fresh copy left beside the list because it could not be
// put in place, with or without a list on disk; no copy but the list on disk; or neither.
enum class MemberListRefresh { Fresh, UnplacedOldList, UnplacedNoList, OldList, NoList };

// In connected mode, replaces E99_member.csv with a fresh copy from the head office before it is loaded.
// A stale download copy is removed first and never taken for a fresh one.
[[nodiscard]] MemberListRefresh refresh_member_list(const FtpJob& job);
