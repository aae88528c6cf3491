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

using Steady = std::chrono::steady_clock;

// The pcsc-lite functions we use, resolved from the library loaded at run time.
struct Api {
    decltype(&SCardEstablishContext) establish = nullptr;
    decltype(&SCardReleaseContext) release = nullptr;
    decltype(&SCardIsValidContext) is_valid = nullptr;
    decltype(&SCardListReaders) list_readers = nullptr;
    decltype(&SCardGetStatusChange) status_change = nullptr;
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

// The pseudo reader whose state changes when a reader comes or goes.
constexpr const char* plug_and_play = "\\\\?PnP?\\Notification";

// One PC/SC session, used on the reader's thread only.
class Session {
public:
    explicit Session(std::string library) : library_(std::move(library)) {}
    ~Session() { drop_context(); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

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
        loaded_ =
            resolve(lib_, "SCardEstablishContext", api_.establish) &&
            resolve(lib_, "SCardReleaseContext", api_.release) && resolve(lib_, "SCardIsValidContext", api_.is_valid) &&
            resolve(lib_, "SCardListReaders", api_.list_readers) &&
            resolve(lib_, "SCardGetStatusChange", api_.status_change) && resolve(lib_, "SCardConnect", api_.connect) &&
            resolve(lib_, "SCardTransmit", api_.transmit) && resolve(lib_, "SCardDisconnect", api_.disconnect);
        return loaded_;
    }

    // SCARD_S_SUCCESS once there is a context.
    LONG establish() {
        if (context_ != 0) {
            return SCARD_S_SUCCESS;
        }
        SCARDCONTEXT ctx = 0;
        const LONG rv = api_.establish(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &ctx);
        if (rv == SCARD_S_SUCCESS) {
            context_ = ctx;
        }
        return rv;
    }

    [[nodiscard]] bool has_context() const { return context_ != 0; }

    void drop_context() {
        if (context_ != 0) {
            api_.release(context_);
            context_ = 0;
        }
    }

    // After a failed call: only a dead context is replaced.
    void check(LONG rv) {
        if (rv == SCARD_S_SUCCESS || context_ == 0) {
            return;
        }
        if (context_dead(rv) || api_.is_valid(context_) != SCARD_S_SUCCESS) {
            drop_context();
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

    LONG wait_for_change(std::vector<SCARD_READERSTATE>& states, DWORD millis) {
        const LONG rv = api_.status_change(context_, millis, states.data(), static_cast<DWORD>(states.size()));
        if (rv != SCARD_S_SUCCESS && rv != SCARD_E_TIMEOUT) {
            check(rv);
        }
        return rv;
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

enum class Service { Unknown, Available, Unavailable };

// A reader as the thread last saw it: its state for the next wait, and the card on it once read.
struct WatchedReader {
    std::string name;
    DWORD state = SCARD_STATE_UNAWARE;
    std::optional<std::string> uid;
};

} // namespace

// What the recorder's thread and the reader's thread share.
struct PcscReader::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    bool stop = false;
    bool finished = false;
    Service service = Service::Unknown; // what the thread's latest attempt to reach the service came to
    bool looked = false;                // the thread has listed the readers once
    bool reader_seen = false;
    std::optional<std::string> arrival; // a card read since the last hand-over
    std::optional<std::string> lying;   // the card on the reader now
    Steady::time_point last_taken{};
};

namespace {

using Shared = PcscReader::Shared;

void publish_service(Shared& shared, Service service) {
    std::lock_guard lock(shared.mutex);
    shared.service = service;
    shared.looked = true;
    shared.reader_seen = false;
    shared.lying.reset();
    shared.changed.notify_all();
}

void publish_readers(Shared& shared, const std::vector<WatchedReader>& readers) {
    std::lock_guard lock(shared.mutex);
    shared.service = Service::Available;
    shared.looked = true;
    shared.reader_seen = !readers.empty();
    shared.lying.reset();
    for (const auto& r : readers) {
        if (r.uid) {
            shared.lying = r.uid;
            break;
        }
    }
    shared.changed.notify_all();
}

void publish_arrival(Shared& shared, const std::string& uid) {
    std::lock_guard lock(shared.mutex);
    shared.arrival = uid;
    shared.lying = uid;
}

// Waits until the end of the program or the time is up; true at the end.
bool stop_within(Shared& shared, std::chrono::milliseconds limit) {
    std::unique_lock lock(shared.mutex);
    return shared.changed.wait_for(lock, limit, [&] { return shared.stop; });
}

bool stopping(Shared& shared) {
    std::lock_guard lock(shared.mutex);
    return shared.stop;
}

// The readers listed afresh; one seen before keeps its state and its card, so that a card lying on it is no
// new arrival.
void relist(Session& session, std::vector<WatchedReader>& readers) {
    std::vector<WatchedReader> listed;
    for (auto& name : session.list_readers()) {
        const auto known = std::find_if(readers.begin(), readers.end(), [&](const auto& r) { return r.name == name; });
        listed.push_back(known != readers.end() ? *known : WatchedReader{std::move(name), SCARD_STATE_UNAWARE, {}});
    }
    readers = std::move(listed);
}

bool card_on(const WatchedReader& reader) {
    return (reader.state & SCARD_STATE_PRESENT) != 0 && (reader.state & SCARD_STATE_MUTE) == 0;
}

// Reads the cards on the readers that have not been read yet: those that arrived, and those whose read failed
// (a slow card, one pulled mid-read), again at each slice while they lie there. Forgets the cards that left.
void read_cards(Session& session, Shared& shared, std::vector<WatchedReader>& readers) {
    for (auto& reader : readers) {
        if (!card_on(reader)) {
            reader.uid.reset();
        } else if (!reader.uid && session.has_context()) {
            reader.uid = session.read_uid(reader.name);
            if (reader.uid) {
                publish_arrival(shared, *reader.uid);
            }
        }
    }
}

// Takes in the states a wait reported. True when the readers must be listed again.
bool take_states(std::vector<WatchedReader>& readers, const std::vector<SCARD_READERSTATE>& states) {
    bool changed_list = (states.back().dwEventState & SCARD_STATE_CHANGED) != 0;
    for (std::size_t i = 0; i < readers.size(); ++i) {
        readers[i].state = states[i].dwEventState & ~SCARD_STATE_CHANGED;
        changed_list = changed_list || (readers[i].state & (SCARD_STATE_UNKNOWN | SCARD_STATE_UNAVAILABLE)) != 0;
    }
    return changed_list;
}

// Watches the readers of one context until they change, the context dies or the program ends.
void watch_context(Session& session, Shared& shared, std::vector<WatchedReader>& readers,
                   std::chrono::milliseconds slice) {
    relist(session, readers);
    publish_readers(shared, readers);
    while (session.has_context() && !stopping(shared)) {
        std::vector<SCARD_READERSTATE> states(readers.size() + 1);
        for (std::size_t i = 0; i < readers.size(); ++i) {
            states[i].szReader = readers[i].name.c_str();
            states[i].dwCurrentState = readers[i].state;
        }
        states.back().szReader = plug_and_play;
        states.back().dwCurrentState = static_cast<DWORD>(readers.size()) << 16;
        const LONG rv = session.wait_for_change(states, static_cast<DWORD>(slice.count()));
        if (rv != SCARD_S_SUCCESS && rv != SCARD_E_TIMEOUT) {
            return; // a dead context was dropped; a reader gone is found when they are listed again
        }
        const bool changed_list = rv == SCARD_S_SUCCESS && take_states(readers, states);
        read_cards(session, shared, readers);
        publish_readers(shared, readers);
        if (changed_list) {
            return;
        }
    }
}

void work(const std::shared_ptr<Shared>& shared, const PcscReader::Settings& settings) {
    Session session(settings.library);
    std::vector<WatchedReader> readers;
    while (!stopping(*shared)) {
        if (!session.load()) {
            publish_service(*shared, Service::Unavailable);
        } else if (const LONG rv = session.establish(); rv != SCARD_S_SUCCESS) {
            publish_service(*shared, rv == SCARD_E_NO_SERVICE ? Service::Unavailable : Service::Available);
        } else {
            watch_context(session, *shared, readers, settings.wait_slice);
            if (session.has_context() && !readers.empty()) {
                continue; // the readers changed: list them again at once
            }
        }
        if (!session.has_context() && !readers.empty()) {
            readers.clear(); // a new context starts from what the service says; no card meanwhile
            publish_readers(*shared, readers);
        }
        if (stop_within(*shared, settings.retry)) {
            break;
        }
    }
    session.drop_context();
    std::lock_guard lock(shared->mutex);
    shared->finished = true;
    shared->changed.notify_all();
}

} // namespace

PcscReader::PcscReader(Settings settings) : settings_(std::move(settings)), shared_(std::make_shared<Shared>()) {
    worker_ = std::thread([shared = shared_, settings = settings_] { work(shared, settings); });
}

PcscReader::~PcscReader() {
    std::unique_lock lock(shared_->mutex);
    shared_->stop = true;
    shared_->changed.notify_all();
    const bool finished = shared_->changed.wait_for(lock, settings_.exit_limit, [&] { return shared_->finished; });
    lock.unlock();
    // A call stuck in a hung service must not hold up the end of the program; the thread owns what it uses.
    if (finished) {
        worker_.join();
    } else {
        worker_.detach();
    }
}

std::int16_t PcscReader::get_smart_card_uid(Buffer& buffer) {
    std::unique_lock lock(shared_->mutex);
    if (shared_->service == Service::Unknown) {
        return 1; // the thread has not reached the service yet: the first poll is still to come
    }
    if (std::exchange(first_poll_, false) && shared_->service == Service::Unavailable) {
        throw RuntimeError(ErrorNumber::FileNotFound);
    }
    const auto now = Steady::now();
    std::optional<std::string> uid = std::exchange(shared_->arrival, std::nullopt);
    if (!uid && shared_->lying && now - shared_->last_taken >= settings_.lying_again) {
        uid = shared_->lying;
    }
    if (!uid) {
        return 1;
    }
    shared_->last_taken = now;
    std::copy_n(uid->begin(), std::min(uid->size(), buffer_size), buffer.begin());
    return 0;
}

bool PcscReader::card_waiting() {
    std::lock_guard lock(shared_->mutex);
    if (shared_->service == Service::Unknown || (first_poll_ && shared_->service == Service::Unavailable)) {
        return false; // the first poll, at the change of the second, tells a missing component
    }
    return shared_->arrival || (shared_->lying && Steady::now() - shared_->last_taken >= settings_.lying_again);
}

void PcscReader::forget_arrivals() {
    std::lock_guard lock(shared_->mutex);
    shared_->arrival.reset();
}

bool PcscReader::reader_present() {
    std::unique_lock lock(shared_->mutex);
    shared_->changed.wait_for(lock, settings_.probe_limit, [&] { return shared_->looked; });
    if (shared_->service == Service::Available) {
        first_poll_ = false;
    }
    return shared_->reader_seen;
}
