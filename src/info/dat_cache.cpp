#include "info/dat_index.h"

#include "platform/files.h"

namespace orvel {

DatCache::DatCache() = default;
DatCache::~DatCache() = default;
DatCache::DatCache(const DatCache&) {}
DatCache& DatCache::operator=(const DatCache& other) {
    if (this != &other) clear();
    return *this;
}

void DatCache::clear() {
    std::lock_guard lock(mutex_);
    indexes_.clear();
    wrapped_.clear();
}

std::string DatCache::wrapped_text(const std::string& text, const std::string& layout,
                                   const std::function<std::string()>& wrap) {
    {
        std::lock_guard lock(mutex_);
        for (const Wrapped& kept : wrapped_)
            if (kept.layout == layout && kept.text == text) return kept.wrapped;
    }
    // Wrapped outside the lock: it may take long, and other lookups go on meanwhile.
    std::string wrapped = wrap();
    std::lock_guard lock(mutex_);
    ++wraps_;
    constexpr std::size_t kept_texts = 12;
    if (wrapped_.size() == kept_texts) wrapped_.pop_front();
    wrapped_.push_back({layout, text, wrapped});
    return wrapped;
}

std::uint64_t DatCache::index_builds() const {
    std::lock_guard lock(mutex_);
    return builds_;
}

std::uint64_t DatCache::text_wraps() const {
    std::lock_guard lock(mutex_);
    return wraps_;
}

std::shared_ptr<DatCache::Index> DatCache::index_for(const std::string& path, bool xml) {
    std::lock_guard lock(mutex_);
    // The file is looked at before it is read: a change during the pass shows at the next look.
    const std::int64_t size = file_size(path);
    if (size < 0) {
        indexes_.erase(path);
        return nullptr;
    }
    const std::optional<std::int64_t> modified = file_modified_time(path);
    auto found = indexes_.find(path);
    if (found != indexes_.end() && found->second->xml == xml && found->second->size == size &&
        found->second->modified == modified)
        return found->second;

    auto index = std::make_shared<Index>();
    index->xml = xml;
    index->size = size;
    index->modified = modified;
    const bool built = xml ? build_history_xml_index(path, *index) : build_dat_index(path, *index);
    ++builds_;
    if (!built) {
        indexes_.erase(path);
        return nullptr;
    }
    indexes_[path] = index;
    return index;
}

std::string DatCache::dat_entries(const std::string& path, std::string_view key) {
    const std::shared_ptr<Index> index = index_for(path, false);
    if (!index || key.empty()) return {};
    return dat_entries_from(*index, path, {}, key);
}

std::string DatCache::history_xml_entries(const std::string& path, std::string_view key) {
    const std::shared_ptr<Index> index = index_for(path, true);
    if (!index || key.empty()) return {};
    return history_xml_entries_from(*index, path, {}, key);
}

std::string dat_entries_in(std::string_view bytes, std::string_view key) {
    DatCache::Index index;
    build_dat_index_in(bytes, index);
    return dat_entries_from(index, {}, bytes, key);
}

std::string history_xml_entries_in(std::string_view bytes, std::string_view key) {
    DatCache::Index index;
    index.xml = true;
    build_history_xml_index_in(bytes, index);
    return history_xml_entries_from(index, {}, bytes, key);
}

} // namespace orvel
