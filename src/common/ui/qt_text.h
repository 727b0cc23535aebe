#pragma once
// The core's texts (UTF-8 std::string) as Qt's strings and back.

#include <QString>
#include <string>

namespace kolm::common::ui {

inline QString q(const std::string& s) { return QString::fromStdString(s); }
inline std::string text(const QString& s) { return s.toStdString(); }

}  // namespace kolm::common::ui
