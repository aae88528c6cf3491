#pragma once

#include <filesystem>
#include <string>

// One running copy per root folder. The first copy holds a lock for its whole life (the system releases
// it when the process dies, however it dies) and listens on a local socket through which a later copy
// asks it to bring its window back. Both are files in the system folder, which only its owner can enter:
// no other local user can hold the lock, take the socket's name first or knock on it. The lock is held on
// the system folder itself, which cannot be removed while it holds the recorder's files, and on the lock
// file: deleting the file under a running copy lets no second one start beside it.
class SingleInstance {
public:
    explicit SingleInstance(const std::filesystem::path& root);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    enum class Acquired {
        First,   // this copy now holds the lock and listens
        Running, // another copy holds the lock
        NoLock,  // the lock file cannot be made: running unguarded would let two copies log every touch twice
    };
    [[nodiscard]] Acquired acquire();
    // A later copy: asks the running copy to restore its window. False when no running copy answered.
    bool request_activation() const;
    // The running copy: true once for every request that arrived since the last call. Never blocks.
    [[nodiscard]] bool take_activation_request();
    // The listening socket, for an event loop to watch (-1 when not listening).
    [[nodiscard]] int listen_fd() const { return listen_fd_; }
    [[nodiscard]] const std::filesystem::path& lock_path() const { return lock_path_; }

private:
    void listen();

    std::filesystem::path lock_path_;
    std::filesystem::path socket_path_;
    int lock_fd_ = -1;
    int folder_fd_ = -1;
    int listen_fd_ = -1;
};
