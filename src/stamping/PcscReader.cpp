#include "stamping/PcscReader.h"

#include "core/ErrorNumber.h"

#include <PCSC/winscard.h>
#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace {

enum class Kind { Card, NoCard, Unavailable };

struct Outcome {
    Kind kind = Kind::NoCard;
    std::string uid;
    bool reader_seen = false;
};

// The pcsc-lite functions we use, resolved from the library loaded at run time.
struct Api {
    decltype(&SCardEstablishContext) establish = nullptr;
    decltype(&SCardReleaseContext) release = nullptr;
    decltype(&SCardIsValidContext) is_valid = nullptr;
    decltype(&SCardListReaders) list_readers = nullptr;
    decltype(&SCardConnect) connect = nullptr;
    decltype(&SCardTransmit) transmit = nullptr;
    decltype(&SCardDisconnect) disconnect = nullptr;
};

template <class F> bool resolve(void* lib, const char* name, F& f) {
    f = reinterpret_cast<F>(::dlsym(lib, name));
    return f != nullptr;
}

std::string hex_upper(const BYTE* bytes, std::size_t n) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < n; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 0x0F];
    }
    return out;
}

// A context that the service no longer knows (it stopped, restarted or the line broke) must be replaced.
bool context_dead(LONG rv) {
    return rv == SCARD_E_NO_SERVICE || rv == SCARD_F_COMM_ERROR || rv == SCARD_E_INVALID_HANDLE ||
           rv == SCARD_E_SERVICE_STOPPED;
}

// One PC/SC session, used on the worker thread only.
class Session {
public:
    explicit Session(std::string library) : library_(std::move(library)) {}
    ~Session() {
        if (context_ != 0) {
            api_.release(context_);
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Outcome read_once() { return run(true); }
    Outcome probe() { return run(false); }

private:
    Outcome run(bool read) {
        if (!load()) {
            return {Kind::Unavailable, {}, false};
        }
        if (context_ == 0) {
            SCARDCONTEXT ctx = 0;
            const LONG rv = api_.establish(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &ctx);
            if (rv != SCARD_S_SUCCESS) {
                return {rv == SCARD_E_NO_SERVICE ? Kind::Unavailable : Kind::NoCard, {}, false};
            }
            context_ = ctx;
        }
        const std::vector<std::string> readers = list_readers();
        Outcome out{Kind::NoCard, {}, !readers.empty()};
        if (!read) {
            return out;
        }
        for (const auto& reader : readers) {
            if (auto uid = read_uid(reader)) {
                out.kind = Kind::Card;
                out.uid = std::move(*uid);
                break;
            }
            if (context_ == 0) {
                break;
            }
        }
        return out;
    }

    bool load() {
        if (loaded_) {
            return true;
        }
        if (lib_ == nullptr) {
            lib_ = ::dlopen(library_.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (lib_ == nullptr) {
                return false;
            }
        }
        loaded_ = resolve(lib_, "SCardEstablishContext", api_.establish) &&
                  resolve(lib_, "SCardReleaseContext", api_.release) &&
                  resolve(lib_, "SCardIsValidContext", api_.is_valid) &&
                  resolve(lib_, "SCardListReaders", api_.list_readers) && resolve(lib_, "SCardConnect", api_.connect) &&
                  resolve(lib_, "SCardTransmit", api_.transmit) && resolve(lib_, "SCardDisconnect", api_.disconnect);
        return loaded_;
    }

    void check(LONG rv) {
        if (rv == SCARD_S_SUCCESS || context_ == 0) {
            return;
        }
        if (context_dead(rv) || api_.is_valid(context_) != SCARD_S_SUCCESS) {
            api_.release(context_);
            context_ = 0;
        }
    }

    std::vector<std::string> list_readers() {
        DWORD size = 0;
        LONG rv = api_.list_readers(context_, nullptr, nullptr, &size);
        std::vector<char> names(size + 1, '\0');
        if (rv == SCARD_S_SUCCESS) {
            rv = api_.list_readers(context_, nullptr, names.data(), &size);
        }
        if (rv != SCARD_S_SUCCESS) {
            if (rv != SCARD_E_NO_READERS_AVAILABLE) {
                check(rv);
            }
            return {};
        }
        std::vector<std::string> out;
        for (const char* p = names.data(); p < names.data() + size && *p != '\0';
             p += std::char_traits<char>::length(p) + 1) {
            out.emplace_back(p);
        }
        return out;
    }

    std::optional<std::string> read_uid(const std::string& reader) {
        SCARDHANDLE card = 0;
        DWORD protocol = 0;
        LONG rv = api_.connect(context_, reader.c_str(), SCARD_SHARE_SHARED, SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1,
                               &card, &protocol);
        if (rv != SCARD_S_SUCCESS) {
            check(rv); // no card, a card pulled or a reader gone: only a dead context matters
            return std::nullopt;
        }
        const SCARD_IO_REQUEST pci{protocol, sizeof(SCARD_IO_REQUEST)};
        BYTE command[] = {0xFF, 0xCA, 0x00, 0x00, 0x00};
        std::array<BYTE, 258> response{};
        DWORD length = response.size();
        rv = api_.transmit(card, &pci, command, sizeof command, nullptr, response.data(), &length);
        if (rv == SCARD_S_SUCCESS && length == 2 && response[0] == 0x6C) { // wrong length: ask again with Le
            command[4] = response[1];
            length = response.size();
            rv = api_.transmit(card, &pci, command, sizeof command, nullptr, response.data(), &length);
        }
        api_.disconnect(card, SCARD_LEAVE_CARD);
        if (rv != SCARD_S_SUCCESS) {
            check(rv);
            return std::nullopt;
        }
        if (length <= 2 || response[length - 2] != 0x90 || response[length - 1] != 0x00) {
            return std::nullopt;
        }
        return hex_upper(response.data(), length - 2);
    }

private:
    std::string library_;
    void* lib_ = nullptr; // kept loaded for the life of the process
    bool loaded_ = false;
    Api api_;
    SCARDCONTEXT context_ = 0;
};

enum class Request { None, Read, Probe };

} // namespace

// What the window's thread and the worker share.
struct PcscReader::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    Request request = Request::None;
    bool busy = false;
    bool stop = false;
    std::optional<Outcome> result;
};

namespace {

void work(const std::shared_ptr<PcscReader::Shared>& shared, const std::string& library) {
    Session session(library);
    std::unique_lock lock(shared->mutex);
    for (;;) {
        shared->changed.wait(lock, [&] { return shared->stop || shared->request != Request::None; });
        if (shared->stop) {
            return;
        }
        const Request request = std::exchange(shared->request, Request::None);
        shared->busy = true;
        lock.unlock();
        Outcome outcome = request == Request::Read ? session.read_once() : session.probe();
        lock.lock();
        shared->busy = false;
        shared->result = std::move(outcome);
        shared->changed.notify_all();
    }
}

// Hands over an outcome that came too late for an earlier poll; else posts a request and waits at most
// `limit` for its outcome. While an earlier request is still running (a hung service, a slow card) it
// returns at once, so a stuck call costs each poll nothing.
std::optional<Outcome> ask(PcscReader::Shared& shared, Request request, std::chrono::milliseconds limit) {
    std::unique_lock lock(shared.mutex);
    if (!shared.result && !shared.busy && shared.request == Request::None) {
        shared.request = request;
        shared.changed.notify_all();
        shared.changed.wait_for(lock, limit, [&] { return shared.result.has_value(); });
    }
    return std::exchange(shared.result, std::nullopt);
}

} // namespace

PcscReader::PcscReader(Settings settings) : settings_(std::move(settings)), shared_(std::make_shared<Shared>()) {
    worker_ = std::thread([shared = shared_, library = settings_.library] { work(shared, library); });
}

PcscReader::~PcscReader() {
    bool busy = false;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stop = true;
        busy = shared_->busy;
        shared_->changed.notify_all();
    }
    // A call stuck in a hung service must not hold up the end of the program; the worker owns what it uses.
    if (busy) {
        worker_.detach();
    } else {
        worker_.join();
    }
}

std::int16_t PcscReader::get_smart_card_uid(Buffer& buffer) {
    const auto outcome = ask(*shared_, Request::Read, first_poll_ ? settings_.first_poll_limit : settings_.poll_limit);
    if (!outcome) {
        return 1;
    }
    if (outcome->kind == Kind::Unavailable) {
        if (first_poll_) {
            throw RuntimeError(ErrorNumber::FileNotFound);
        }
        return 1;
    }
    first_poll_ = false;
    if (outcome->kind != Kind::Card) {
        return 1;
    }
    std::copy_n(outcome->uid.begin(), std::min(outcome->uid.size(), buffer_size), buffer.begin());
    return 0;
}

bool PcscReader::reader_present() {
    const auto outcome = ask(*shared_, Request::Probe, settings_.first_poll_limit);
    if (outcome && outcome->kind != Kind::Unavailable) {
        first_poll_ = false;
    }
    return outcome && outcome->reader_seen;
}
