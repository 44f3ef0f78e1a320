#include "textcodec.h"

#include <QStringDecoder>

#include <algorithm>

namespace Kern {

namespace {
// Windows-1252 differs from Latin-1 only in 0x80..0x9F.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
// A line cut after a fixed number of bytes may end inside a UTF-8 sequence; such a tail would
// make the whole file look like Windows-1252.
void dropPartialCharacter(QByteArray& line) {
    int i = int(line.size()) - 1;
    int continuation = 0;
    while (i >= 0 && (static_cast<unsigned char>(line[i]) & 0xC0) == 0x80 && continuation < 3) {
        --i;
        ++continuation;
    }
    if (i < 0)
        return;
    const auto lead = static_cast<unsigned char>(line[i]);
    const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length > 1 && continuation + 1 < length)
        line.truncate(i);
}

} // namespace

bool isValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    Q_UNUSED(text);
    return !decoder.hasError();
}

QString decodeWindows1252(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out += (b >= 0x80 && b < 0xA0) ? QChar(Cp1252High[b - 0x80]) : QChar(char16_t(b));
    }
    return out;
}

QString decodeText(const QByteArray& bytes) {
    return isValidUtf8(bytes) ? QString::fromUtf8(bytes) : decodeWindows1252(bytes);
}

QString leftWhole(const QString& text, int n) {
    if (n >= text.size())
        return text;
    if (n <= 0)
        return QString();
    return text.left(text.at(n - 1).isHighSurrogate() ? n - 1 : n);
}

std::vector<QByteArray> splitLines(const QByteArray& bytes, int maxLines, qsizetype maxLineBytes) {
    std::vector<QByteArray> lines;
    qsizetype i = 0;
    const qsizetype n = bytes.size();
    while (i < n && int(lines.size()) < maxLines) {
        qsizetype end = i;
        while (end < n && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        QByteArray line = bytes.mid(i, std::min(end - i, maxLineBytes));
        if (end - i > maxLineBytes)
            dropPartialCharacter(line);
        lines.push_back(line);
        if (end < n && bytes[end] == '\r' && end + 1 < n && bytes[end + 1] == '\n')
            ++end;
        i = end + 1;
    }
    return lines;
}

} // namespace Kern
