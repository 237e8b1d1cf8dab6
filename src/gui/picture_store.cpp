#include "gui/picture_store.h"

namespace orvel::gui {

std::optional<ShownPicture> PictureStore::find(const QString& key) {
    const auto found = by_key_.find(key);
    if (found == by_key_.end()) return std::nullopt;
    entries_.splice(entries_.begin(), entries_, found->second);
    return found->second->picture;
}

void PictureStore::keep(const QString& key, const ShownPicture& picture) {
    if (const auto found = by_key_.find(key); found != by_key_.end()) {
        bytes_ -= found->second->cost;
        entries_.erase(found->second);
        by_key_.erase(found);
    }
    // The key and the record count as well, so that many machines without pictures are bounded
    // too.
    const std::size_t cost = static_cast<std::size_t>(picture.image.sizeInBytes()) + 128 +
                             static_cast<std::size_t>(key.size()) * 2;
    if (cost > budget_) return;
    entries_.push_front({key, picture, cost});
    by_key_[key] = entries_.begin();
    bytes_ += cost;
    while (bytes_ > budget_) {
        const Entry& last = entries_.back();
        bytes_ -= last.cost;
        by_key_.erase(last.key);
        entries_.pop_back();
    }
}

void PictureStore::clear() {
    entries_.clear();
    by_key_.clear();
    bytes_ = 0;
}

} // namespace orvel::gui
