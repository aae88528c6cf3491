#pragma once

#include <filesystem>

// One running copy per root folder. The first copy holds a lock for its whole life (the system releases
// it when the process dies, however it dies) and listens on a local socket through which a later copy
// asks it to bring its window back.
class SingleInstance {
public:
    explicit SingleInstance(const std::filesystem::path& root);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this copy is the first: it now holds the lock and listens.
    [[nodiscard]] bool acquire();
    // A later copy: asks the running copy to restore its window. False when no running copy answered.
    bool request_activation() const;
    // The running copy: true once for every request that arrived since the last call. Never blocks.
    [[nodiscard]] bool take_activation_request();
    // The listening socket, for an event loop to watch (-1 when not listening).
    [[nodiscard]] int listen_fd() const { return listen_fd_; }

private:
    std::filesystem::path lock_path_;
    std::string socket_name_;
    int lock_fd_ = -1;
    int listen_fd_ = -1;
};
