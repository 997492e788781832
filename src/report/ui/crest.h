#pragma once

class QImage;
class QString;

// The picture at `path`, at most `height` pixels high (the sheet shows no
// more), its width by aspect ratio. Null when `path` is not a readable
// regular file or holds no picture Qt can read. Never blocks on a pipe or a
// device, and a camera-size picture is decoded small instead of refused.
QImage loadCrest(const QString &path, int height);
