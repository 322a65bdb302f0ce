#include "views/TextRainfallRenderer.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "raster/Color.h"
#include "raster/GlyphFont.h"
#include "views/RowScroll.h"
#include "views/Thumbnails.h"

namespace pelsid {

namespace {
constexpr int kEtherHeader = 14;
constexpr std::uint32_t kThumbBar = rgb(0, 255, 0);
constexpr const char* kHex = "0123456789ABCDEF";

bool plainPrintable(int b) {
    return b >= 32 && b <= 126;
}
bool runPrintable(int b) {
    return b >= 32 && b <= 125;
}

// Length of the printable run at p if it has at least n characters, else 0.
// The packet's last byte never belongs to a run.
int runLength(const std::uint8_t* bytes, int len, int p, int n) {
    if (n > len - p - 1) return 0;
    int count = 0;
    while (p + count <= len - 2 && runPrintable(bytes[p + count])) ++count;
    return count >= n ? count : 0;
}
}  // namespace

const QStringList& TextRainfallRenderer::modeNames() {
    static const QStringList names{QStringLiteral("ASCII"), QStringLiteral("hex"),
                                   QStringLiteral("decimal")};
    return names;
}

TextRainfallRenderer::TextRainfallRenderer(Thumbnails& thumbnails)
    : ViewRenderer(thumbnails), picGraph_(kPictureWidth, kPictureHeight) {
    picGraph_.enablePicks();
}

void TextRainfallRenderer::setMode(int mode) {
    settings_.edit().mode = mode;
    initVisAll();
}

std::vector<SettingControl> TextRainfallRenderer::settingControls() {
    return {
        SettingControl::choice(
            QStringLiteral("cmbVisMode"), modeNames(), [this] { return settings().mode; },
            [this](int m) { setMode(m); }),
        SettingControl::toggle(
            QStringLiteral("tglPrintASCII"), [this] { return int(settings().printASCII); },
            [this](int on) { settings_.edit().printASCII = on != 0; }),
        SettingControl::number(
            QStringLiteral("spnLength"), 1, kMaxStringLength, [this] { return settings().length; },
            [this](int n) { settings_.edit().length = n; }),
        SettingControl::toggle(
            QStringLiteral("tglEther"), [this] { return int(settings().stripEther); },
            [this](int on) { settings_.edit().stripEther = on != 0; })};
}

void TextRainfallRenderer::resizePicture(int width, int height) {
    if (width == picGraph_.width() && height == picGraph_.height()) return;
    picGraph_.resize(width, height);
    scrollLocation_ = 0;
    lineSettings_.clear();
}

void TextRainfallRenderer::initVis() {
    scrollLocation_ = 0;
    picGraph_.clear();
}

void TextRainfallRenderer::initVisAll() {
    // Its thumbnail has no look to reset.
    initVis();
}

void TextRainfallRenderer::clear() {
    scrollLocation_ = 0;
    picGraph_.clear();
    thumbnailScrollLocation_ = 0;
    thumbnails_.vis(1).clear();
}

QString TextRainfallRenderer::byteText(const QString&, QPoint pos,
                                       const PlayedPacket* packet) const {
    if (!packet) return {};
    const std::optional<int> byte = byteUnder(pos, *packet);
    return byte ? byteDescription(*byte, -1, *packet) : QString();
}

int TextRainfallRenderer::charsPerLine() const {
    const int s = GlyphFont::courier8().width("S");
    return s > 0 ? int(std::nearbyint(double(picGraph_.width()) / s)) : 0;
}

std::optional<int> TextRainfallRenderer::byteUnder(QPoint pos, const PlayedPacket& p) const {
    // The line was written with the settings of its time, which may have changed since.
    const auto slot = std::size_t(std::max(0, pos.y()) / kLinePitch);
    const Settings& s = slot < lineSettings_.size() ? lineSettings_[slot] : settings_.current();
    std::string text;
    std::vector<int> bytes;
    writeLine(s, p, text, &bytes);
    const GlyphFont& font = GlyphFont::courier8();
    int x = 0;
    for (std::size_t i = 0; i < text.size() && x <= pos.x(); ++i) {
        const int next = x + font.glyph(static_cast<unsigned char>(text[i])).advance;
        if (pos.x() < next) return bytes[i] >= 0 ? std::optional<int>(bytes[i]) : std::nullopt;
        x = next;
    }
    return std::nullopt;
}

std::string TextRainfallRenderer::lineText(const PlayedPacket& p) const {
    std::string text;
    writeLine(settings_.current(), p, text);
    return text;
}

void TextRainfallRenderer::beginRun() {
    settings_.beginRun();
}

std::pair<int, int> TextRainfallRenderer::shownBytes(const Settings& s,
                                                     const PlayedPacket& p) const {
    const bool strip = s.stripEther;
    const int cpl = charsPerLine();
    return {strip ? kEtherHeader : 0, std::min(p.length - 1, strip ? cpl + 13 : cpl - 1)};
}

void TextRainfallRenderer::writeLine(const Settings& s, const PlayedPacket& p, std::string& text,
                                     std::vector<int>* bytes) const {
    text.clear();
    if (bytes) bytes->clear();
    const auto [firstByte, lastByte] = shownBytes(s, p);
    switch (s.mode) {
        case 0: {
            if (!s.printASCII) {
                // Written through a pointer: a line is made for every packet played.
                text.resize(std::size_t(std::max(0, lastByte - firstByte + 1)));
                char* out = text.data();
                for (int i = firstByte; i <= lastByte; ++i)
                    *out++ = plainPrintable(p.bytes[i]) ? char(p.bytes[i]) : '.';
                if (bytes)
                    for (int i = firstByte; i <= lastByte; ++i) bytes->push_back(i);
            } else {
                const int budget = lastByte - firstByte + 1;
                const int n = s.length;
                int count = 0;
                int pos = firstByte;
                while (count <= budget && pos < p.length) {
                    const int run = runLength(p.bytes, p.length, pos, n);
                    if (run == 0) {
                        ++pos;
                        continue;
                    }
                    for (int i = pos; i < pos + run && i < p.length; ++i) {
                        text += char(p.bytes[i]);
                        if (bytes) bytes->push_back(i);
                    }
                    count += run;
                    pos += run;
                }
            }
            if (!text.empty()) {
                char prefix[24] = {'<'};
                char* end = std::to_chars(prefix + 1, prefix + 20, p.number).ptr;
                for (char c : {'>', ' ', ' '}) *end++ = c;
                text.insert(0, prefix, std::size_t(end - prefix));
                if (bytes) bytes->insert(bytes->begin(), std::size_t(end - prefix), -1);
            }
            break;
        }
        case 1:
        case 2: {
            const bool hex = s.mode == 1;
            text.resize(std::size_t(std::max(0, lastByte - firstByte + 1)) * 4);
            char* out = text.data();
            for (int i = firstByte; i <= lastByte; ++i) {
                const int b = p.bytes[i];
                if (hex) {
                    *out++ = kHex[b >> 4];
                    *out++ = kHex[b & 15];
                    *out++ = ' ';
                } else {
                    if (b >= 100) *out++ = char('0' + b / 100);
                    if (b >= 10) *out++ = char('0' + b / 10 % 10);
                    *out++ = char('0' + b % 10);
                }
                *out++ = ' ';
                if (bytes) {
                    bytes->resize(std::size_t(out - text.data()) - 1, i);
                    bytes->push_back(-1);  // the blank after the byte
                }
            }
            text.resize(std::size_t(out - text.data()));
            break;
        }
        default:
            break;
    }
}

void TextRainfallRenderer::plot(const PlayedPacket& p) {
    beginRun();
    plotOne(p);
}

void TextRainfallRenderer::plotOne(const PlayedPacket& p) {
    const int mode = settings_.run().mode;
    if (mode < 0) return;
    writeLine(settings_.run(), p, line_);
    if (mode == 0 && line_.empty()) return;  // nothing printed, the line stays
    const auto slot = std::size_t(scrollLocation_ / kLinePitch);
    if (lineSettings_.size() <= slot) lineSettings_.resize(slot + 1);
    lineSettings_[slot] = settings_.run();
    picGraph_.setOwner(std::uint32_t(p.number));
    // Most lines scroll away unseen while a range plays: drawn only if looked at.
    picGraph_.deferText(0, scrollLocation_, line_, p.color, GlyphFont::courier8());
    advanceLine();
}

bool TextRainfallRenderer::printsLine(const PlayedPacket& p) {
    const int mode = settings_.run().mode;
    if (mode != 0) return mode > 0;
    if (!settings_.run().printASCII) {
        const auto [first, last] = shownBytes(settings_.run(), p);
        return last >= first;
    }
    writeLine(settings_.run(), p, line_);
    return !line_.empty();
}

void TextRainfallRenderer::plotRun(std::span<const PlayedPacket> run) {
    // The line positions form a cycle from the top, and after one line at
    // each position every band has been erased again: of a long run only
    // the last lines can show. The position still moves on over the others.
    int positions = 1;
    for (int s = nextLocation(0); s != 0; s = nextLocation(s)) ++positions;
    const int at = scrollLocation_;
    const bool onCycle = at == 0 || (at > 0 && at % kLinePitch == 0 && at < picGraph_.height());
    std::size_t first = run.size();
    for (int lines = 0; first > 0 && lines < positions;)
        if (printsLine(run[--first])) ++lines;
    if (onCycle && first > 0) {
        for (const PlayedPacket& p : run.first(first))
            if (printsLine(p)) scrollLocation_ = nextLocation(scrollLocation_);
    } else {
        first = 0;
    }
    for (const PlayedPacket& p : run.subspan(first)) plotOne(p);
}

int TextRainfallRenderer::nextLocation(int location) const {
    return location < picGraph_.height() - kLinePitch ? location + kLinePitch : 0;
}

void TextRainfallRenderer::advanceLine() {
    scrollLocation_ = nextLocation(scrollLocation_);
    picGraph_.eraseRows(scrollLocation_, scrollLocation_ + kLinePitch);
}

void TextRainfallRenderer::plotThumbnail(const PlayedPacket& p) {
    Surface& thumb = thumbnails_.vis(1);
    const int width = scaleLength(p.length, thumb.width());
    thumb.line(0, thumbnailScrollLocation_, width, thumbnailScrollLocation_, kThumbBar);
    advanceRow(thumb, thumbnailScrollLocation_);
}

void TextRainfallRenderer::plotThumbnailRun(std::span<const PlayedPacket> run) {
    const int h = thumbnails_.vis(1).height();
    for (const PlayedPacket& p : rowsThatShow(run, h, thumbnailScrollLocation_)) plotThumbnail(p);
}

}  // namespace pelsid
