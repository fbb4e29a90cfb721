#pragma once

// The desktop services a benchmark's window asks for, answering nothing and showing nothing.

#include "preview/colorpick.h"
#include "window/platform.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace bench {

class NoMessages : public prismel::MessageBoxes {
public:
    void inform(const QString&, const QString&) override {}
    void informAboutFile(const QString&, const QString&, const QString&) override {}
};

class NoUrls : public prismel::UrlOpener {
public:
    void open(const QUrl&) override {}
};

class NoColors : public prismel::ColorDialog {
public:
    std::optional<prismel::Rgb> chooseColor() override { return std::nullopt; }
};

class NoInput : public prismel::InputDialog {
public:
    std::optional<int> askNumber(const QString&, const QString&, int, int, int) override
    {
        return std::nullopt;
    }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
};

class NoFiles : public prismel::FileDialog {
public:
    std::optional<QString> askSavePath(const QString&, const QString&, const QStringList&) override
    {
        return std::nullopt;
    }
};

} // namespace bench
