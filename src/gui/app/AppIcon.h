#pragma once

#include <QIcon>

// The application icon (our own SVG, also installed for the desktop menu).
QIcon AppIcon();
