#include "report/StampChains.h"

#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace {

// A slab is one huge page where the system allows them on request: a few faults for a whole month of stamps.
constexpr std::size_t slab_size = std::size_t{2} << 20;

} // namespace

void StampChains::FreeSlab::operator()(std::byte* p) const {
    std::free(p);
}

StampChains::Block* StampChains::new_block() {
    if (slabs_.empty() || slab_used_ + sizeof(Block) > slab_size) {
        void* slab = std::aligned_alloc(slab_size, slab_size);
        if (slab == nullptr) {
            throw std::bad_alloc();
        }
        ::madvise(slab, slab_size, MADV_HUGEPAGE); // a hint: without it the slab is ordinary pages
        slabs_.emplace_back(static_cast<std::byte*>(slab));
        slab_used_ = 0;
    }
    void* at = slabs_.back().get() + slab_used_;
    slab_used_ += sizeof(Block);
    return new (at) Block;
}

void StampChains::add(std::uint32_t member, const Stamp& s) {
    if (member >= chains_.size()) {
        chains_.resize(member + std::size_t{1});
    }
    Chain& c = chains_[member];
    if (c.last == nullptr || c.last->used == block_stamps) {
        Block* b = new_block();
        (c.last == nullptr ? c.first : c.last->next) = b;
        c.last = b;
    }
    c.last->stamps[c.last->used++] = s;
}

void StampChains::copy_out(std::uint32_t member, std::vector<Stamp>& out) const {
    out.clear();
    if (member >= chains_.size()) {
        return;
    }
    for (const Block* b = chains_[member].first; b != nullptr; b = b->next) {
        out.insert(out.end(), b->stamps, b->stamps + b->used);
    }
}

void StampChains::visit(std::uint32_t member, const std::function<void(Stamp&)>& f) {
    if (member >= chains_.size()) {
        return;
    }
    for (Block* b = chains_[member].first; b != nullptr; b = b->next) {
        for (std::uint32_t i = 0; i < b->used; ++i) {
            f(b->stamps[i]);
        }
    }
}

void StampChains::clear() {
    chains_.clear();
    slabs_.clear();
    slab_used_ = 0;
}

void StampChains::append(StampChains&& later, const std::vector<std::uint32_t>& place) {
    for (std::size_t i = 0; i < later.chains_.size() && i < place.size(); ++i) {
        const Chain& from = later.chains_[i];
        if (from.first == nullptr) {
            continue;
        }
        if (place[i] >= chains_.size()) {
            chains_.resize(place[i] + std::size_t{1});
        }
        Chain& to = chains_[place[i]];
        (to.last == nullptr ? to.first : to.last->next) = from.first;
        to.last = from.last;
    }
    // The blocks now linked here live in later's slabs; this one's newest slab stays the one filled next.
    auto newest = slabs_.empty() ? nullptr : std::move(slabs_.back());
    if (newest) {
        slabs_.pop_back();
    }
    for (auto& slab : later.slabs_) {
        slabs_.push_back(std::move(slab));
    }
    if (newest) {
        slabs_.push_back(std::move(newest));
    } else {
        slab_used_ = slab_size; // the next block takes a slab of its own
    }
    later.chains_.clear();
    later.slabs_.clear();
}
