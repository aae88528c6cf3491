#pragma once

#include <string_view>

// Writes all of data to the file descriptor, going on after short writes and interrupted calls.
// False on any failure, with errno telling why.
[[nodiscard]] bool write_all(int fd, std::string_view data);
