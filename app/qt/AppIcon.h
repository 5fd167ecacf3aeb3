#pragma once
// The window's icon, painted at start-up: a pair of braces over a small tree.
#include <QIcon>

namespace qoxa::qt {

QIcon AppIcon();

}  // namespace qoxa::qt
