#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// Text files of ours are written as UTF-8; older ones come in the Windows code page.
namespace Kern {

bool isValidUtf8(const QByteArray& bytes);
QString decodeWindows1252(const QByteArray& bytes);
// UTF-8 when the bytes are valid UTF-8, otherwise Windows-1252.
QString decodeText(const QByteArray& bytes);

// The first maxLines lines of bytes; CR, LF and CR LF end a line, the last line need not end
// with one. A line longer than maxLineBytes is cut there, without a partial UTF-8 character.
std::vector<QByteArray> splitLines(const QByteArray& bytes, int maxLines, qsizetype maxLineBytes);

// At most the first n UTF-16 units of text, one fewer where the cut would part the two halves
// of a character beyond the 16-bit range.
QString leftWhole(const QString& text, int n);

} // namespace Kern
