#pragma once
// The pictures the pane has shown lately, decoded at the size they were shown, kept within a
// memory budget (the least recently shown go first). A machine without a picture is kept too,
// so that moving back over it asks nothing of the disk.

#include <QImage>
#include <QString>

#include <cstddef>
#include <list>
#include <optional>
#include <unordered_map>

namespace orvel::gui {

struct ShownPicture {
    QImage image;             // null: the machine has no picture of this kind
    bool from_parent = false; // a clone showing its parent's picture
};

class PictureStore {
  public:
    static constexpr std::size_t default_budget = 48u << 20;
    explicit PictureStore(std::size_t budget = default_budget) : budget_(budget) {}

    std::optional<ShownPicture> find(const QString& key);
    void keep(const QString& key, const ShownPicture& picture);
    void clear();
    std::size_t bytes() const { return bytes_; }
    std::size_t count() const { return entries_.size(); }

  private:
    struct Entry {
        QString key;
        ShownPicture picture;
        std::size_t cost;
    };
    std::size_t budget_;
    std::size_t bytes_ = 0;
    std::list<Entry> entries_; // most recently used first
    std::unordered_map<QString, std::list<Entry>::iterator> by_key_;
};

} // namespace orvel::gui
