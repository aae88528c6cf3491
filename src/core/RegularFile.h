#pragma once

#include <filesystem>

// Opening the files the recorder reads. Anyone who can write the data folder can put a FIFO, a device or a
// link to one under a name the recorder reads; opening such a thing must neither wait for a writer that never
// comes nor read without end. Files are opened without waiting (O_NONBLOCK, O_NOCTTY) and used only when they
// are regular files.
namespace regularfile {

// The file opened for reading without waiting, whatever it is; a regular file's descriptor reads as usual
// (O_NONBLOCK taken off again). extra_flags are added to the open (O_NOFOLLOW; O_RDWR or O_WRONLY with O_CREAT
// to write, the file then made with create_mode). -1 with errno when it fails.
[[nodiscard]] int open_without_waiting(const std::filesystem::path& path, int extra_flags = 0,
                                       unsigned create_mode = 0600);

// The same, for a regular file only: anything else is closed again and gives -1 with errno EISDIR for a
// folder and EINVAL for the rest (a FIFO, a device, a socket).
[[nodiscard]] int open_regular(const std::filesystem::path& path, int extra_flags = 0, unsigned create_mode = 0600);

} // namespace regularfile
