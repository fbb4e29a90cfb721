#pragma once

#include "window/platform.h"

namespace prismel {

// Hands the address to the desktop's handler for its scheme; no shell command line is built.
class QtUrlOpener : public UrlOpener {
public:
    void open(const QUrl& url) override;
};

} // namespace prismel
