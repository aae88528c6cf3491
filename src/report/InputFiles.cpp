#include "report/InputFiles.h"

#include "core/AsciiCase.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Files that share their first head_size bytes are the only candidates for overlap.
constexpr std::size_t head_size = 64;

struct Candidate {
    fs::path path;
    std::uintmax_t size = 0;
    std::string head;
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool all_digits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string read_head(const fs::path& p, std::uintmax_t size, bool& ok) {
    File f(std::fopen(p.c_str(), "rb"));
    std::string head(static_cast<std::size_t>(std::min<std::uintmax_t>(size, head_size)), '\0');
    ok = f && std::fread(head.data(), 1, head.size(), f.get()) == head.size();
    return head;
}

void add_file(const fs::path& p, std::vector<Candidate>& out, InputFiles& in) {
    std::error_code ec;
    const auto size = fs::file_size(p, ec);
    bool ok = !ec;
    Candidate c{p, size, ok ? read_head(p, size, ok) : std::string()};
    if (!ok) {
        in.errors.push_back("読めません: " + p.string());
        return;
    }
    out.push_back(std::move(c));
}

void add_folder(const fs::path& dir, std::vector<Candidate>& out, InputFiles& in) {
    std::error_code ec;
    std::vector<fs::path> found;
    fs::recursive_directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_regular_file(ec) && is_log_name(it->path().filename().string())) {
            found.push_back(it->path());
        }
    }
    if (ec) {
        in.errors.push_back("フォルダーを読めません: " + dir.string());
    }
    std::sort(found.begin(), found.end());
    for (const auto& p : found) {
        add_file(p, out, in);
    }
}

// Left out: a file all of whose bytes begin an earlier one of all (largest first, of equal sizes the first
// named first); of identical files the first named is kept. A file that begins a left-out file begins the
// file that one begins, so this leaves out exactly the files that begin a kept one. Files are checked apart
// from each other, half of them on a second thread; only files that share their first bytes are compared.
std::vector<char> begins_an_earlier_file(const std::vector<Candidate>& all) {
    std::map<std::string, std::vector<std::size_t>> by_head;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].head.size() == head_size) {
            by_head[all[i].head].push_back(i);
        }
    }
    const auto begins = [&](std::size_t i, std::size_t j) {
        const Candidate& c = all[i];
        return all[j].head.compare(0, c.head.size(), c.head) == 0 && is_prefix_of(c.path, all[j].path);
    };
    const auto check = [&](std::size_t i) {
        if (all[i].head.size() == head_size) {
            const auto& same = by_head.at(all[i].head);
            return std::any_of(same.begin(), std::lower_bound(same.begin(), same.end(), i),
                               [&](std::size_t j) { return begins(i, j); });
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (begins(i, j)) {
                return true;
            }
        }
        return false;
    };
    std::vector<char> out(all.size(), 0);
    const auto every_second = [&](std::size_t first) {
        for (std::size_t i = first; i < all.size(); i += 2) {
            out[i] = check(i) ? 1 : 0;
        }
    };
    {
        std::jthread other(every_second, 1);
        every_second(0);
    }
    return out;
}

} // namespace

bool is_log_name(std::string_view name) {
    if (name.size() > 9 && equal_ignoring_case(name.substr(0, 5), "KLOG_") &&
        equal_ignoring_case(name.substr(name.size() - 4), ".csv")) {
        return true;
    }
    // K + two characters + _yymmdd_hhmm.CSV; the two characters may be bytes of one Japanese character.
    return name.size() == 19 && (name[0] == 'K' || name[0] == 'k') && name[3] == '_' && all_digits(name.substr(4, 6)) &&
           name[10] == '_' && all_digits(name.substr(11, 4)) && equal_ignoring_case(name.substr(15), ".csv");
}

bool is_prefix_of(const fs::path& shorter, const fs::path& longer) {
    File a(std::fopen(shorter.c_str(), "rb"));
    File b(std::fopen(longer.c_str(), "rb"));
    if (!a || !b) {
        return false;
    }
    static thread_local std::array<char, 1 << 16> buf_a, buf_b;
    for (;;) {
        const std::size_t n = std::fread(buf_a.data(), 1, buf_a.size(), a.get());
        if (n == 0) {
            return std::ferror(a.get()) == 0;
        }
        if (std::fread(buf_b.data(), 1, n, b.get()) != n || std::memcmp(buf_a.data(), buf_b.data(), n) != 0) {
            return false;
        }
    }
}

InputFiles gather_inputs(const std::vector<fs::path>& paths) {
    InputFiles in;
    std::vector<Candidate> all;
    for (const auto& p : paths) {
        std::error_code ec;
        if (fs::is_directory(p, ec)) {
            add_folder(p, all, in);
        } else if (fs::exists(p, ec)) {
            add_file(p, all, in);
        } else {
            in.errors.push_back("見つかりません: " + p.string());
        }
    }
    // The same file named twice is one file.
    std::set<fs::path> seen;
    std::erase_if(all, [&](const Candidate& c) {
        std::error_code ec;
        return !seen.insert(fs::weakly_canonical(c.path, ec)).second;
    });
    in.found = all.size();
    std::stable_sort(all.begin(), all.end(), [](const Candidate& a, const Candidate& b) { return a.size > b.size; });
    const std::vector<char> left_out = begins_an_earlier_file(all);
    std::vector<const Candidate*> kept;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (left_out[i] != 0) {
            in.earlier_copies.push_back(all[i].path);
        } else {
            kept.push_back(&all[i]);
        }
    }
    std::vector<fs::path> order;
    order.reserve(kept.size());
    for (const auto* k : kept) {
        order.push_back(k->path);
    }
    std::sort(order.begin(), order.end());
    in.read = std::move(order);
    return in;
}
