#pragma once
// Writing a whole file so that a failure never leaves a half-written or destroyed file:
// the bytes go to a temporary file in the same folder, which replaces the target only when
// everything was written.

#include <QByteArray>
#include <QString>

namespace morvik {

// Writes bytes to path; returns an empty string on success, otherwise the message for the
// error box: "Cannot create file "<path>". <reason>." or "Stream write error.".
// An existing target that may not be written is refused, and an existing target keeps its
// permissions.
QString WriteFileSafely(const QString& path, const QByteArray& bytes);

}  // namespace morvik
