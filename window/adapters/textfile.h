#pragma once

#include <QString>

namespace prismel {

// Files larger than this are refused unread: a post is never that long, and reading a stray
// disc image into the input box would only stall the window.
inline constexpr qint64 kMaxTextFileBytes = qint64{64} << 20;

struct TextFileRead {
    bool ok = false;
    QString text;  // the file's text, a leading byte order mark dropped
    QString error; // when not ok: why, in a few words
};

// Reads the whole of the file at `path` as UTF-8, refusing one larger than `limit` bytes, one
// that is not a regular file, and one that is not valid UTF-8.
TextFileRead readTextFile(const QString& path, qint64 limit = kMaxTextFileBytes);

} // namespace prismel
