#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// A pcscd of the test's own with the virtual reader driver vpcd and virtual cards, that never meets the
// machine's pcscd nor another test run's: the daemon runs in a mount namespace of its own, where its fixed
// socket folder /run/pcscd is a private folder, and vpcd listens on a port found free for this bed. The
// client library is pointed at that socket through PCSCLITE_CSOCK_NAME, which it reads once per process:
// a process uses one bed folder (named after its pid) for all its beds. Needs root (for the namespace).
namespace pcsc_test {

// A child process with its output in a file; stopped and reaped by its pid.
class Child {
public:
    Child(const std::vector<std::string>& argv, const std::filesystem::path& output);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    void stop();

private:
    int pid_ = -1;
};

std::string read_file(const std::filesystem::path& p);
bool wait_for_text(const std::filesystem::path& file, const std::string& text, std::chrono::milliseconds limit);

class PcscTestBed {
public:
    PcscTestBed();
    ~PcscTestBed();
    PcscTestBed(const PcscTestBed&) = delete;
    PcscTestBed& operator=(const PcscTestBed&) = delete;

    // Empty when the bed can run here; otherwise why not (for GTEST_SKIP).
    [[nodiscard]] static std::string missing();

    // Starts pcscd with the virtual readers (true) or with no reader at all (false); the error text, or
    // empty once the daemon is ready.
    [[nodiscard]] std::string start(bool with_reader = true);
    void stop();

    // Puts a card with the IDm on the first virtual reader; the error text, or empty once it is connected.
    // slow_seconds delays each answer of the card.
    [[nodiscard]] std::string put_card(const std::string& idm, double slow_seconds = 0);
    void take_card();
    // The card's connection time on the steady clock (as std::chrono::steady_clock counts it).
    [[nodiscard]] std::chrono::steady_clock::time_point card_connected_at() const;

private:
    std::filesystem::path dir_;
    int port_ = 0;
    int starts_ = 0;
    std::unique_ptr<Child> pcscd_;
    std::unique_ptr<Child> card_;
};

} // namespace pcsc_test
