#pragma once

#include "window/form/convertrequest.h"

#include <QByteArray>
#include <QFont>
#include <QImage>

#include <atomic>

namespace prismel {

// How the picture's letters are decorated; all off until the window offers the choice.
struct Decorations {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

// What a picture is made of: a Convert's text, step, gradient and per-line setting, drawn in
// `face` (the preview's) with `decorations`.
struct PictureRequest {
    TextRequest convert;
    QFont face;
    Decorations decorations;
};

enum class PictureFormat { Png, Svg };

struct TextPicture {
    QImage image;     // for a PNG: the picture itself, at device pixel ratio 2
    QByteArray file;  // the PNG or SVG file
    int lines = 0;    // the lines it holds, wrapped lines counted one by one
    bool cut = false; // the text goes on below its last line, which an ellipsis tells
    bool cancelled = false;
};

inline constexpr int picturePixelSize = 24;
inline constexpr int pictureLineWidth = 600; // logical pixels
inline constexpr int pictureDevicePixelRatio = 2;
inline constexpr int pictureMaxHeight = 16384; // pixels of the image

// The trimmed text as a reader sees it: its line breaks kept, each line wrapped at spaces or
// between clusters to at most pictureLineWidth, each chunk of the Convert in its colour, on a
// transparent background. A text too tall for pictureMaxHeight ends at its last whole line that
// fits, followed by "…". Safe on any thread; `cancelled`, when given, is looked at line by line.
TextPicture makeTextPicture(const PictureRequest& request, PictureFormat format,
                            const std::atomic<bool>* cancelled = nullptr);

} // namespace prismel
