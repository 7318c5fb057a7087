#pragma once

// The one QCoreApplication a test program needs for its event loop, made on first use.

#include <QCoreApplication>

inline void EnsureApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "sonvex_test";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
}
