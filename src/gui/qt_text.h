#pragma once
// The one place where the core's UTF-8 std::string meets QString.

#include <QString>

#include <string>
#include <string_view>

namespace orvel::gui {

inline QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string to_std(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace orvel::gui
