#include "pcsc/PcscTestBed.h"

#include <PCSC/winscard.h>
#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace pcsc_test {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const char* const pcscd_binary = "/usr/sbin/pcscd";
const char* const unshare_binary = "/usr/bin/unshare";
const char* const vpcd_driver = "/usr/lib/pcsc/drivers/serial/libifdvpcd.so";

bool port_free(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY); // vpcd listens on every address
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool free = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return free;
}

// vpcd takes the configured port for its first reader and the next one for its second.
int free_port_pair() {
    for (int attempt = 0; attempt < 200; ++attempt) {
        const int port = 40000 + static_cast<int>((::getpid() * 7 + attempt * 131) % 20000);
        if (port_free(port) && port_free(port + 1)) {
            return port;
        }
    }
    return 0;
}

void write_reader_config(const fs::path& file, int port) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%04X", port);
    std::ofstream out(file);
    out << "FRIENDLYNAME \"Virtual PCD\"\nDEVICENAME   /dev/null:" << hex << "\nLIBPATH      " << vpcd_driver
        << "\nCHANNELID    " << hex << "\n";
}

bool service_answers() {
    SCARDCONTEXT context = 0;
    if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) != SCARD_S_SUCCESS) {
        return false;
    }
    SCardReleaseContext(context);
    return true;
}

} // namespace

Child::Child(const std::vector<std::string>& argv, const fs::path& output) {
    pid_ = ::fork();
    if (pid_ == 0) {
        const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        std::vector<char*> args;
        args.reserve(argv.size() + 1);
        for (const auto& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
}

Child::~Child() {
    stop();
}

void Child::stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }
}

std::string read_file(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool wait_for_text(const fs::path& file, const std::string& text, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (read_file(file).find(text) != std::string::npos) {
            return true;
        }
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

std::string PcscTestBed::missing() {
    for (const char* file : {pcscd_binary, unshare_binary, vpcd_driver}) {
        if (!fs::exists(file)) {
            return std::string(file) + " is not installed (Debian pcscd, util-linux, vsmartcard-vpcd)";
        }
    }
    if (::geteuid() != 0) {
        return "a private pcscd needs root for its mount namespace";
    }
    return {};
}

PcscTestBed::PcscTestBed()
    : dir_(fs::temp_directory_path() / ("pcsc-bed-" + std::to_string(::getpid()))), port_(free_port_pair()) {
    fs::create_directories(dir_ / "run");
    fs::create_directories(dir_ / "vpcd");
    fs::create_directories(dir_ / "none");
    write_reader_config(dir_ / "vpcd" / "vpcd", port_);
    ::setenv("PCSCLITE_CSOCK_NAME", (dir_ / "run" / "pcscd.comm").c_str(), 1);
}

PcscTestBed::~PcscTestBed() {
    card_.reset();
    pcscd_.reset();
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

std::string PcscTestBed::start(bool with_reader) {
    // A killed pcscd leaves its socket and pid file behind, and a new one then refuses to start.
    fs::remove(dir_ / "run" / "pcscd.comm");
    fs::remove(dir_ / "run" / "pcscd.pid");
    const fs::path log = dir_ / ("pcscd-" + std::to_string(++starts_) + ".log");
    const std::string config = (dir_ / (with_reader ? "vpcd" : "none")).string();
    const std::string inside = "mkdir -p /run/pcscd && mount --bind '" + (dir_ / "run").string() +
                               "' /run/pcscd && exec " + pcscd_binary + " --foreground --debug -c '" + config + "'";
    pcscd_ = std::make_unique<Child>(std::vector<std::string>{unshare_binary, "-m", "/bin/sh", "-c", inside}, log);
    if (!wait_for_text(log, "daemon ready", 10s)) {
        return "pcscd did not start: " + read_file(log);
    }
    // Ready means what a client needs: a context established through the bed's socket. The socket file
    // alone is not enough, as the daemon may not be listening on it yet (and a loaded machine widens that gap).
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (!service_answers()) {
        if (std::chrono::steady_clock::now() > end) {
            return "pcscd does not answer on its socket: " + read_file(log);
        }
        std::this_thread::sleep_for(10ms);
    }
    return {};
}

void PcscTestBed::stop() {
    pcscd_.reset();
}

std::string PcscTestBed::put_card(const std::string& idm, double slow_seconds) {
    const fs::path log = dir_ / "card.log";
    card_ = std::make_unique<Child>(std::vector<std::string>{"/usr/bin/python3", TR_VIRTUAL_CARD, "--port",
                                                             std::to_string(port_), "--idm", idm, "--slow",
                                                             std::to_string(slow_seconds)},
                                    log);
    if (!wait_for_text(log, "card connected", 5s)) {
        return "the card did not connect: " + read_file(log);
    }
    return {};
}

void PcscTestBed::take_card() {
    card_.reset();
}

std::chrono::steady_clock::time_point PcscTestBed::card_connected_at() const {
    // The card prints its monotonic clock in nanoseconds after "card connected".
    std::istringstream line(read_file(dir_ / "card.log"));
    std::string card, connected;
    long long ns = 0;
    line >> card >> connected >> ns;
    return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(ns));
}

} // namespace pcsc_test
